// The ledger's list with its search frame, the detail form and the handover
// record on the sample book in a Cyrillic interface: no Latin a user reads,
// apart from data and the words kept in Latin.

#include "InterfaceScript.h"
#include "LedgerFixture.h"
#include "ScriptCheck.h"
#include "ValueListEditor.h"
#include "screens/LedgerNavigatorUnit.h"
#include "screens/LedgerViewerUnit.h"
#include "screens/ProceedingUnit.h"

#include <QHBoxLayout>
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
        // Users' names are data: a title or a label may hold one.
        const QStringList found = LatinTextsIn(checked, {QStringLiteral("Ana Petrović"), QStringLiteral("Marko Jovanović"),
                                                         QStringLiteral("Jelena Đorđević")});
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

private:
    LedgerFixture fx;
};

QTEST_MAIN(TestLedgerScript)
#include "tst_ledgerscript.moc"
