// The subject, classification mark and organisational unit on the detail
// form and in the search frame, over the sample book. With
// KLEDGER_SCREENSHOT_DIR set the form with a subject is saved as
// ledgerdetail-predmet.png there (scripts/screenshot.sh DIR subject).

#include "DBControls.h"
#include "LedgerFixture.h"
#include "SerbianQtTexts.h"
#include "ValueListEditor.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "screens/LedgerNavigatorUnit.h"

#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

LedgerFixture fx;

// Replaces the text of an edit as typed.
void typeInto(QLineEdit *edit, const QString &text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

class TestSubjectForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        InstallSerbianTexts(*qApp);
        fx.Start(QStringLiteral("ana"));
    }

    void cleanupTestCase() { fx.Stop(); }

    void sampleBookHasSubjects()
    {
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE subject IS NULL OR subject = ''")).toInt(), 0);
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgeritem l WHERE NOT EXISTS "
                                          "(SELECT 1 FROM subjectword w WHERE w.ledgeritemid = l.ledgeritemid)"))
                     .toInt(),
                 0);
    }

    void typedAndStored_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("message"); // empty: stored
        QTest::newRow("subject") << "Zahtev za izdavanje ČAČAK" << "";
        QTest::newRow("501 characters") << QString(501, u'š') << "Tekst u polju 'Predmet' je duži od 500 znakova.";
    }

    void typedAndStored()
    {
        QFETCH(QString, subject);
        QFETCH(QString, message);
        const qint64 id = fx.AddItem();
        DetailFormOn on(id);
        typeInto(on.form.SubjectDBE, subject);
        typeInto(on.form.ClassificationDBE, QStringLiteral("011"));
        // The units are a fixed list: chosen, not typed.
        const int unit = on.form.OrgUnitDBCB->findText(QStringLiteral("Pisarnica"));
        QVERIFY(unit >= 0);
        on.form.OrgUnitDBCB->setCurrentIndex(unit);
        emit on.form.OrgUnitDBCB->activated(unit);
        on.form.OKButton->click();
        if (!message.isEmpty()) {
            QCOMPARE(on.dialogs->Messages.size(), 1);
            QCOMPARE(on.dialogs->Messages.first().Text, message);
            QVERIFY(on.form.isVisible());
            QCOMPARE(on.form.SubjectDBE->text(), subject); // refused whole, never cut
            QCOMPARE(fx.Cell(id, QStringLiteral("subject")), QString());
            return;
        }
        QVERIFY2(on.dialogs->Messages.isEmpty(), qPrintable(on.dialogs->Messages.value(0).Text));
        QCOMPARE(fx.Cell(id, QStringLiteral("subject")), subject);
        QCOMPARE(fx.Cell(id, QStringLiteral("classification")), QStringLiteral("011"));
        QCOMPARE(fx.Cell(id, QStringLiteral("orgunit")), QStringLiteral("Pisarnica"));
        QVERIFY(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM subjectword WHERE ledgeritemid = ?"), {id}).toInt() > 0);
    }

    // Someone else's item: what it is about is read, not changed.
    void lockedWithTheItem()
    {
        DetailFormOn on(fx.AddItem({{"userid", fx.UserId(QStringLiteral("marko"))}}));
        QVERIFY(on.form.ReadOnlyLabel->isVisibleTo(&on.form));
        QVERIFY(on.form.SubjectDBE->isReadOnly());
        QVERIFY(on.form.ClassificationDBE->isReadOnly());
        QVERIFY(!on.form.OrgUnitDBCB->isEnabled());
        // The lock line takes no room from the page: it does not scroll.
        QVERIFY(QTest::qWaitForWindowExposed(&on.form));
        QVERIFY(!on.form.findChild<QScrollArea *>(QStringLiteral("GeneralScroll"))->verticalScrollBar()->isVisible());
    }

    // Partner, document type, the document's date and number, then the subject,
    // the mark and the unit, before the mail.
    void tabOrder()
    {
        DetailFormOn on(fx.AddItem());
        const QStringList wanted{"DBEdit3",     "ItemTypeDBCB",      "ItemDateDBE", "ItemNumberDBE",
                                 "SubjectDBE",  "ClassificationDBE", "OrgUnitDBCB", "InMailTypeDBCB"};
        QStringList order;
        QWidget *w = on.form.DBEdit3;
        for (int steps = 0; steps < 200 && order.size() < wanted.size(); ++steps, w = w->nextInFocusChain())
            if (wanted.contains(w->objectName()) && !order.contains(w->objectName()))
                order << w->objectName();
        QCOMPARE(order, wanted);
    }

    // The new controls lie inside the page and the form fits 1024x700.
    void fitsTheForm()
    {
        DetailFormOn on(fx.AddItem({{"subject", QStringLiteral("Ugovor o zakupu poslovnog prostora u Novom Sadu")}}));
        QVERIFY(QTest::qWaitForWindowExposed(&on.form));
        if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty())
            QVERIFY(on.form.grab().save(dir + QStringLiteral("/ledgerdetail-predmet.png")));
        QVERIFY(on.form.height() <= 700 - 40);
        const QRect page = on.form.GeneralTS->rect();
        for (QWidget *w : {static_cast<QWidget *>(on.form.SubjectDBE), static_cast<QWidget *>(on.form.ClassificationDBE),
                           static_cast<QWidget *>(on.form.OrgUnitDBCB), static_cast<QWidget *>(on.form.DBEdit13)})
            QVERIFY2(page.contains(QRect(w->mapTo(on.form.GeneralTS, QPoint(0, 0)), w->size())), qPrintable(w->objectName()));
        QCOMPARE(on.form.SubjectDBE->text(), QStringLiteral("Ugovor o zakupu poslovnog prostora u Novom Sadu"));
    }

    // The search frame's row "Predmet" finds the sample book's items from Čačak.
    void searchFrame()
    {
        auto items = LedgerDM->NewLedgerItems();
        TLedgerNavigatorForm frame(nullptr);
        frame.SetSearchTarget([&items] { return items.get(); });
        frame.SearchVLE->SetValue(QStringLiteral("subject"), QStringLiteral("ЧАЧАК uver"));
        frame.FindButtonClick();
        TZQuery &q = *items->LedgerItemZQ;
        QVERIFY(q.RecordCount() > 0);
        for (q.First(); !q.Eof(); q.Next())
            QCOMPARE(items->LedgerItemZQsubject->AsString(), QStringLiteral("Zahtev za izdavanje uverenja o prebivalištu, Čačak"));
    }
};

QTEST_MAIN(TestSubjectForm)
#include "tst_subjectform.moc"
