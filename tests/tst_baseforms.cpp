// The base screens: the detail dialog's closing and actions, the search
// frame's find triggers, the list frame's grid, columns and commands, and
// the print preview.

#include "CustomDetailForm.h"
#include "TestRows.h"
#include "CustomNavigatorForm.h"
#include "CustomViewerForm.h"
#include "DBGrid.h"
#include "KException.h"
#include "PrintPreview.h"
#include "PartnerTable.h"
#include "ValueListEditor.h"
#include "ZQuery.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

class DetailForm : public TCustomDetailForm
{
public:
    bool AllowClose = true;
    bool ApplyThrows = false;
    int Queries = 0, Applied = 0;
    TDataSet *Data = nullptr;

    bool FormCloseQuery() override
    {
        ++Queries;
        return AllowClose;
    }
    void CustomApplyExecute() override
    {
        if (ApplyThrows)
            throw EDatabaseError(QStringLiteral("nije sačuvano"));
        ++Applied;
        Data->Post();
    }
    void CustomApplyUpdate(QAction &action) override
    {
        action.setEnabled(Data && Data->State() != TDataSetState::Browse);
    }
};

class Navigator : public TCustomNavigatorForm
{
public:
    QStringList Found;
    bool FindThrows = false;

    Navigator() { SetSearchProps(); }
    void SetSearchProps() override
    {
        SearchVLE->AddRow(QStringLiteral("naziv"), QStringLiteral("Naziv"));
        SearchVLE->AddRow(QStringLiteral("mesto"), QStringLiteral("Mesto"));
    }
    QString ParseSQL(QVariantList &params) override
    {
        const QString name = SearchVLE->Value(QStringLiteral("naziv"));
        params = {name + u'%'};
        return name.isEmpty() ? QString() : QStringLiteral("name LIKE ?");
    }
    void FindButtonClick() override
    {
        if (FindThrows)
            throw EDatabaseError(QStringLiteral("pretraga nije uspela"));
        QVariantList params;
        const QString sql = ParseSQL(params);
        Found << sql + u' ' + params.value(0).toString();
    }
};

class Viewer : public TCustomViewerForm
{
public:
    QList<int> Clicked;
    bool Throws = false;
    void DBGDblClick() override
    {
        if (Throws)
            throw EDatabaseError(QStringLiteral("ne može"));
        Clicked << DBG->CellAt(DBG->LastMousePos()).Row;
    }
};

} // namespace

class TestBaseForms : public QObject
{
    Q_OBJECT
private slots:
    // Every test stands on three partners; init skips them all without a database.
    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start();
        for (const char *name : {"Alfa", "Beta", "Gama"})
            fx.AddPartner(QString::fromLatin1(name));
        fx.Open(QStringLiteral("partnerid, name, city"));
    }

    void cleanup() { fx.Stop(); }

    // ---- Detail form ----------------------------------------------------------------------

    void detailLayout()
    {
        DetailForm form;
        QCOMPARE(form.PageControl->count(), 1);
        QCOMPARE(form.PageControl->widget(0), form.GeneralTS);
        QCOMPARE(form.PageControl->tabText(0), QStringLiteral("Opšte"));
        for (QPushButton *b : {form.OKButton, form.ApplyButton, form.CancelButton})
            QCOMPARE(b->size(), QSize(75, 25));
        QCOMPARE(form.OKButton->text(), QStringLiteral("U redu"));
        QCOMPARE(form.ApplyButton->text(), QStringLiteral("Primeni"));
        QCOMPARE(form.CancelButton->text(), QStringLiteral("Otkaži"));
        QCOMPARE(form.BottomPanel->height(), 34);
        QCOMPARE(form.findChild<QAction *>(QStringLiteral("CustomApply")), form.CustomApply);
        QCOMPARE(form.ActionList().size(), 3);

        // A button follows its action.
        form.CustomApply->setEnabled(false);
        QVERIFY(!form.ApplyButton->isEnabled());
        form.CustomApply->setEnabled(true);
        QVERIFY(form.ApplyButton->isEnabled());
    }

    void detailCloseQuery_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("allow");
        QTest::addColumn<int>("result");
        const QList<std::pair<const char *, int>> ways = {
            {"reject", QDialog::Rejected}, {"close box", QDialog::Rejected}, {"escape", QDialog::Rejected},
            {"cancel button", QDialog::Rejected}, {"ok button", QDialog::Accepted}, {"accept", QDialog::Accepted}};
        for (const auto &[how, result] : ways) {
            QTest::addRow("%s, refused", how) << QString::fromLatin1(how) << false << result;
            QTest::addRow("%s, allowed", how) << QString::fromLatin1(how) << true << result;
        }
    }

    void detailCloseQuery()
    {
        QFETCH(QString, how);
        QFETCH(bool, allow);
        QFETCH(int, result);
        DetailForm form;
        form.AllowClose = allow;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy finished(&form, &QDialog::finished);
        if (how == QLatin1String("reject"))
            form.reject();
        else if (how == QLatin1String("close box"))
            form.close();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(&form, Qt::Key_Escape);
        else if (how == QLatin1String("cancel button"))
            QTest::mouseClick(form.CancelButton, Qt::LeftButton);
        else if (how == QLatin1String("ok button"))
            QTest::mouseClick(form.OKButton, Qt::LeftButton);
        else
            form.accept();
        QCOMPARE(form.Queries, 1); // asked once, whichever way
        QCOMPARE(form.isVisible(), !allow);
        QCOMPARE(finished.size(), allow ? 1 : 0);
        if (allow)
            QCOMPARE(form.result(), result);
    }

    void detailApplyFollowsDataSet()
    {
        DetailForm form;
        form.Data = fx.Query.get();
        form.WatchDataSource(fx.Source.get());
        QVERIFY(!form.CustomApply->isEnabled());
        QVERIFY(!form.ApplyButton->isEnabled());
        fx.Query->Edit();
        QVERIFY(form.ApplyButton->isEnabled());
        fx.Query->FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Alfa 2"));

        form.ApplyThrows = true;
        form.ApplyButton->click();
        QCOMPARE(fx.dialogs().Messages.size(), 1);
        QCOMPARE(fx.dialogs().Messages.at(0).Text, QStringLiteral("nije sačuvano"));
        QVERIFY(form.ApplyButton->isEnabled());

        form.ApplyThrows = false;
        form.ApplyButton->click();
        QCOMPARE(form.Applied, 1);
        QCOMPARE(fx.Query->State(), TDataSetState::Browse);
        QVERIFY(!form.ApplyButton->isEnabled());
        // A disabled action does not run.
        form.CustomApply->trigger();
        QCOMPARE(form.Applied, 1);

        // The source dying first leaves the form working.
        fx.Source.reset();
        form.UpdateActions();
    }

    void detailShownThroughSeam()
    {
        DetailForm form;
        fx.dialogs().ModalHandlers.push_back([](QDialog &d) {
            static_cast<TCustomDetailForm &>(d).OKButton->click();
            return d.result();
        });
        QCOMPARE(Dialogs().ShowModal(form), int(QDialog::Accepted));
        QCOMPARE(form.Queries, 1);
        QCOMPARE(fx.dialogs().ModalCount, 1);
    }

    // ---- Navigator ----------------------------------------------------------------------------

    void navigatorFinds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("throws");
        QTest::newRow("enter in the editor") << "enter" << false;
        QTest::newRow("return in the editor") << "return" << false;
        QTest::newRow("return on the list") << "list" << false;
        QTest::newRow("button") << "button" << false;
        QTest::newRow("button, failing") << "button" << true;
        QTest::newRow("return, failing") << "return" << true;
    }

    void navigatorFinds()
    {
        QFETCH(QString, how);
        QFETCH(bool, throws);
        Navigator nav;
        nav.FindThrows = throws;
        nav.resize(300, 200);
        nav.show();
        QVERIFY(QTest::qWaitForWindowExposed(&nav));
        QCOMPARE(nav.FindButton->text(), QStringLiteral("Traži"));
        QCOMPARE(nav.SearchVLE->Keys(), (QStringList{QStringLiteral("naziv"), QStringLiteral("mesto")}));

        nav.SearchVLE->SetCurrentRow(QStringLiteral("naziv"));
        auto *input = nav.SearchVLE->indexWidget(nav.SearchVLE->currentIndex())->findChild<QLineEdit *>();
        QVERIFY(input);
        QTest::keyClicks(input, QStringLiteral("Al"));
        if (how == QLatin1String("enter"))
            QTest::keyClick(input, Qt::Key_Enter);
        else if (how == QLatin1String("return"))
            QTest::keyClick(input, Qt::Key_Return);
        else if (how == QLatin1String("list"))
            QTest::keyClick(nav.SearchVLE, Qt::Key_Return);
        else
            QTest::mouseClick(nav.FindButton, Qt::LeftButton);

        if (throws) {
            QVERIFY(nav.Found.isEmpty());
            QCOMPARE(fx.dialogs().Messages.size(), 1);
            QCOMPARE(fx.dialogs().Messages.at(0).Text, QStringLiteral("pretraga nije uspela"));
        } else {
            QCOMPARE(nav.Found, QStringList{QStringLiteral("name LIKE ? Al%")});
            QVERIFY(fx.dialogs().Messages.isEmpty());
        }
        // The base class's own hooks do nothing.
        TCustomNavigatorForm base;
        QVariantList params{1};
        QVERIFY(base.ParseSQL(params).isEmpty());
        QVERIFY(params.isEmpty());
        base.FindButton->click();
    }

    // ---- Viewer -------------------------------------------------------------------------------

    void viewerDoubleClick()
    {
        Viewer viewer;
        viewer.resize(400, 300);
        viewer.DBG->SetDataSource(fx.Source.get());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        TDBGrid *grid = viewer.DBG;
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 0)).center());
        QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(viewer.Clicked, (QList<int>{3, 0}));
        QCOMPARE(fx.Query->RecNo(), 3);

        viewer.Throws = true;
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
        QCOMPARE(fx.dialogs().Messages.size(), 1);
    }

    void viewerColumnsVisibility_data() { flagRows("accept", {{"accepted", true}, {"cancelled", false}}); }

    void viewerColumnsVisibility()
    {
        QFETCH(bool, accept);
        Viewer viewer;
        viewer.DBG->SetDataSource(fx.Source.get());
        viewer.DBG->AddColumn(QStringLiteral("name"), 100, QStringLiteral("Naziv"));
        viewer.DBG->AddColumn(QStringLiteral("city"), 100, QStringLiteral("Mesto"));
        viewer.DBG->SetColumnVisible(0, false);
        QStringList titles;
        fx.dialogs().ModalHandlers.push_back([&](QDialog &d) {
            const auto boxes = d.findChildren<QCheckBox *>();
            for (QCheckBox *b : boxes)
                titles << b->text() + (b->isChecked() ? QStringLiteral("+") : QStringLiteral("-"));
            for (QCheckBox *b : boxes)
                b->toggle();
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        });
        viewer.ActionByName(QStringLiteral("ColumnsVisibility"))->trigger();
        QCOMPARE(titles, (QStringList{QStringLiteral("Naziv-"), QStringLiteral("Mesto+")}));
        QCOMPARE(viewer.DBG->isColumnHidden(0), !accept);
        QCOMPARE(viewer.DBG->isColumnHidden(1), accept);
        QCOMPARE(viewer.DBG->Columns().at(1).Visible, !accept);
    }

    void viewerCommands()
    {
        Viewer viewer;
        QCOMPARE(viewer.ActionTB->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        QCOMPARE(viewer.ActionTB->iconSize(), QSize(16, 16));
        QVERIFY(viewer.findChild<QWidget *>(QStringLiteral("CenterPanel"))->isAncestorOf(viewer.DBG));

        auto *refresh = new QAction(QStringLiteral("Osveži"));
        refresh->setObjectName(QStringLiteral("RefreshAction"));
        refresh->setShortcut(Qt::Key_F5);
        refresh->setEnabled(false);
        viewer.AddAction(refresh);
        QCOMPARE(refresh->parent(), &viewer);
        QCOMPARE(viewer.ActionByName(QStringLiteral("RefreshAction")), refresh);
        QVERIFY(!viewer.ActionByName(QStringLiteral("Nema")));
        QToolButton *button = viewer.AddToolButton(refresh, false);
        QVERIFY(button);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);

        viewer.EnableCommands();
        for (QAction *a : viewer.ActionList()) {
            QVERIFY(a->isEnabled());
            QCOMPARE(a->shortcutContext(), Qt::WidgetWithChildrenShortcut);
            QVERIFY(viewer.actions().contains(a));
        }

        // The shortcut works with the focus inside the frame.
        int refreshed = 0;
        connect(refresh, &QAction::triggered, this, [&] { ++refreshed; });
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        viewer.DBG->setFocus();
        QTest::keyClick(viewer.DBG, Qt::Key_F5);
        QCOMPARE(refreshed, 1);
    }

    // Qt has no Serbian texts for its preview: every command is renamed, and
    // the pages it shows can be saved as PDF.
    void printPreview()
    {
        QPrinter printer;
        printer.setDocName(QStringLiteral("Zapisnik"));
        TPrintPreviewDialog preview(printer, [](QPrinter &target) { QPainter(&target).drawText(100, 100, QStringLiteral("Đak")); });
        QCOMPARE(preview.windowTitle(), QStringLiteral("Pregled pre štampe: Zapisnik"));
        QStringList texts;
        for (QAction *action : preview.findChildren<QAction *>())
            if (!action->text().isEmpty()) // separators and the toolbar's own
                texts << action->text();
        texts.sort();
        QCOMPARE(texts.join(u','), QStringLiteral("Cela strana,Cela širina,Dve strane,Jedna strana,Podešavanje strane,Položeno,"
                                                  "Poslednja strana,Prethodna strana,Prva strana,Sačuvaj PDF,Sledeća strana,"
                                                  "Sve strane,Umanji,Uspravno,Uvećaj,Štampaj"));
        QTemporaryDir dir;
        preview.SavePdf(dir.filePath(QStringLiteral("z.pdf")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("z.pdf"))).size() > 0);
    }

private:
    PartnerTable fx;
};

QTEST_MAIN(TestBaseForms)
#include "tst_baseforms.moc"
