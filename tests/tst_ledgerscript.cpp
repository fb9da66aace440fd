// The ledger's list with its search frame, the detail form and the handover
// record on the sample book in a Cyrillic interface: no Latin a user reads,
// apart from data and the words kept in Latin.

#include "InterfaceScript.h"
#include "LedgerFixture.h"
#include "ScriptCheck.h"
#include "Screenshot.h"
#include "SerbianQtTexts.h"
#include "ValueListEditor.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSearchCriteria.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"
#include "screens/ProceedingUnit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QtTest>
#include <memory>

namespace {

// The list as the console puts it together: search frame beside the list.
struct ListWindow : QWidget
{
    ListWindow()
    {
        auto *layout = new QHBoxLayout(this);
        layout->addWidget(navigator);
        layout->addWidget(viewer, 1);
        navigator->SetSearchTarget([this] { return &viewer->Items(); });
    }
    TLedgerNavigatorForm *navigator = new TLedgerNavigatorForm(this);
    TLedgerViewerForm *viewer = new TLedgerViewerForm(this);
};

} // namespace

class TestLedgerScript : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        InstallSerbianTexts(*qApp); // the .ui layouts' texts, as the console has them
        SetInterfaceScript(TScript::Cyrillic);
    }

    void cleanupTestCase()
    {
        SetInterfaceScript(TScript::Latin);
        fx.Stop();
    }

    void noLatin_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("list with search") << "list";
        QTest::newRow("detail form") << "detail";
        QTest::newRow("handover record") << "handover";
    }

    void noLatin()
    {
        QFETCH(QString, window);
        ScopedScriptedDialogs dialogs;
        std::unique_ptr<QWidget> shown;
        std::unique_ptr<DetailFormOn> detail;
        if (window == QLatin1String("list")) {
            auto list = std::make_unique<ListWindow>();
            list->viewer->ThisMonthAction->trigger();
            shown = std::move(list);
        } else if (window == QLatin1String("handover"))
            shown = std::make_unique<TProceedingForm>(nullptr);
        else
            detail = std::make_unique<DetailFormOn>(fx.Scalar(QStringLiteral("SELECT MIN(ledgeritemid) FROM ledgeritem")).toLongLong());
        QWidget &checked = detail ? static_cast<QWidget &>(detail->form) : *shown;
        QVERIFY(LedgerFixture::Show(checked, {1024, 700}));
        if (detail) {
            // The layout's field bindings are names, not texts: the item shows.
            auto *number = checked.findChild<QLineEdit *>(QStringLiteral("NumberDBE"));
            QVERIFY(number);
            QCOMPARE(number->text(), fx.Scalar(QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE ledgeritemid = "
                                                              "(SELECT MIN(ledgeritemid) FROM ledgeritem)")).toString());
            QVERIFY(!number->text().isEmpty());
        }
        SaveScreenshot(checked, QStringLiteral("cyrillic-%1.png").arg(window));
        // Users' names are data: a title or a label may hold one. Shortcuts
        // in tooltips are named as the keyboard's keys are.
        QStringList kept{QStringLiteral("Ana Petrović"), QStringLiteral("Marko Jovanović"), QStringLiteral("Jelena Đorđević")};
        for (const QAction *action : checked.findChildren<QAction *>())
            kept << action->shortcut().toString(QKeySequence::NativeText);
        QStringList found = LatinTextsIn(checked, kept);
        // The search rows' captions and pick lists are cells, not widgets.
        if (auto *list = dynamic_cast<ListWindow *>(shown.get())) {
            QCOMPARE(list->navigator->SearchVLE->Keys().size(), 14);
            for (const QString &key : list->navigator->SearchVLE->Keys()) {
                const TItemProp &row = list->navigator->SearchVLE->ItemProps(key);
                for (const QString &text : QStringList{row.Caption} + row.PickList)
                    if (HasForeignLatin(text))
                        found << QStringLiteral("search row %1: %2").arg(key, text);
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    // The list and the combos show a code's caption in the script; what is
    // picked or typed is read back in either script.
    void captionsReadBack_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("flag");      // a Da/Ne criterion as picked
        QTest::addColumn<QString>("condition"); // and what it asks of the rows
        QTest::newRow("Cyrillic") << -1 << "Излазни" << "Излазни" << "Да" << "l.accepted = 'y'";
        QTest::newRow("Latin") << -1 << "Излазни" << "Izlazni" << "Da" << "l.accepted = 'y'";
        QTest::newRow("internal") << 0 << "Интерни" << "Интерни" << "Не" << "l.accepted = 'n'";
        QTest::newRow("incoming") << 1 << "Улазни" << "Улазни" << "Ne" << "l.accepted = 'n'";
    }

    void captionsReadBack()
    {
        QFETCH(int, direction);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QString, flag);
        QFETCH(QString, condition);
        QCOMPARE(ShownCaption(GetDirectionCaption(direction)), shown);
        QCOMPARE(LedgerDM->GetDirection(typed), direction);
        TLedgerSearchCriteria criteria;
        criteria.Texts.insert(TLedgerSearchCriteria::Accepted, flag);
        QVariantList params;
        QCOMPARE(criteria.Condition(nullptr, params), condition);
        QCOMPARE(GetMailType(QStringLiteral("Поштом")), 1);
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestLedgerScript)
#include "tst_ledgerscript.moc"
