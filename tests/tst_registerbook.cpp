// The register book and the continuity report over a real database: the
// book's order as its PDF reads, a cancelled or refused save, and the two
// actions of the list frame through the dialog seam.

#include "DBIniFile.h"
#include "DatasetTestUtil.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "LedgerFixture.h"
#include "LockedTables.h"
#include "ReportEngine.h"
#include "ScriptLetters.h"
#include "ServerWait.h"
#include "data/LedgerContinuity.h"
#include "data/LedgerRegisterBook.h"
#include "screens/ContinuityDialog.h"
#include "screens/LedgerViewerUnit.h"
#include "screens/RegisterBookDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

// The document is kept for scripts/screenshot.sh when it asks for it.
QString pdfText(const QString &file, const QString &keepAs = {})
{
    if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty() && !keepAs.isEmpty()) {
        QFile::remove(dir + u'/' + keepAs);
        QFile::copy(file, dir + u'/' + keepAs);
    }
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

void keepPicture(QWidget &dialog, const QString &name)
{
    if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty()) {
        dialog.show();
        dialog.grab().save(dir + u'/' + name);
    }
}

// The ledger numbers that begin the table's lines, top to bottom.
QStringList numbersIn(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(↳\\s*)?(\\d+/\\d\\d(?:-\\d+)?)\\s"),
                                           QRegularExpression::MultilineOption);
    QStringList found;
    for (auto it = number.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        found << (m.capturedLength(1) ? QStringLiteral("↳ ") : QString()) + m.captured(2);
    }
    return found;
}

} // namespace

class TestRegisterBook : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.StartModule();
        TZConnection &c = fx.Db.Connection();
        dst::addUser(c, QStringLiteral("Ana"), QStringLiteral("Petrović"));
        TDBIniFile(&c).WriteString(TReportEngine::OrganizationSection, TReportEngine::OrganizationKey,
                                   QStringLiteral("Opština Šabac"));
        // Entered out of order, as renumbering and late enclosures leave them.
        for (const char *number : {"10/25", "2/25", "12/25-2", "13/25", "12/25", "12/25-1"})
            m_ids[number] = item(1, number, "2025-03-01 10:00:00");
        // Passed on the next January: still under its item, without a number of its own.
        item(1, "12/25", "2026-01-05 09:00:00", m_ids["12/25"]);
        item(-1, "1/25", "2025-02-01 10:00:00");
        // A copy whose item is gone still stands in the book, by its number.
        item(-1, "3/25", "2025-02-03 10:00:00", 999999);
        item(1, "40/24", "2024-12-30 10:00:00");
        // A year of its own for the scripts: a partner and a subject typed in each.
        const qint64 latin = fx.Insert(QStringLiteral("partner"), {{"name", QStringLiteral("JKP Vodovod Čačak")}});
        const qint64 cyrillic = fx.Insert(QStringLiteral("partner"), {{"name", QStringLiteral("Чачак превоз")}});
        fx.Insert(QStringLiteral("ledgeritem"), {{"direction", 1}, {"ledgernumber", "1/22"}, {"ledgerdatetime", "2022-03-01 10:00:00"},
                                                  {"itemtype", QStringLiteral("Rešenje")}, {"userid", 1}, {"partnerid", latin},
                                                  {"subject", QStringLiteral("Zahtev za priključak")}});
        fx.Insert(QStringLiteral("ledgeritem"), {{"direction", 1}, {"ledgernumber", "2/22"}, {"ledgerdatetime", "2022-03-02 10:00:00"},
                                                  {"itemtype", QStringLiteral("Жалба")}, {"userid", 1}, {"partnerid", cyrillic},
                                                  {"subject", QStringLiteral("Рачун за јун")}});
    }
    void cleanupTestCase() { fx.Stop(); }

    void bookOrder()
    {
        REQUIRE_TESTDB(fx.Db);
        const QString file = m_dir.filePath(QStringLiteral("book.pdf"));
        QVERIFY(SaveRegisterBook(fx.Db.Connection(), 2025, {}, file));
        const QString text = pdfText(file, QStringLiteral("delovodnik.pdf"));
        QCOMPARE(numbersIn(text), QStringList({"2/25", "10/25", "12/25", "↳ 12/25", "12/25-1", "12/25-2", "13/25",
                                               "1/25", "3/25"}));
        for (const char *expected : {"Opština Šabac", "Delovodnik za 2025. godinu", "Izlazni", "Strana 1 od 1",
                                     "Ukupno stavki: 7", "Od toga priloga: 2. Uz to prosleđenih primeraka (bez novog broja): 2",
                                     "(prosleđena,"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!text.contains(QStringLiteral("40/24")));
        const QString head = fx.Scalar(QStringLiteral("SELECT SUBSTR(headhash, 1, 16) FROM historychain")).toString();
        QVERIFY2(text.contains(QStringLiteral("Kontrolni zbir istorije: ") + head), qPrintable(text.right(300)));
    }

    // The program's words follow the interface, the data the script chosen:
    // Latin stays only where data was typed in Latin and printed as typed.
    void bookInScript_data()
    {
        QTest::addColumn<int>("interface"); // TScript
        QTest::addColumn<int>("data");      // TScript, -1: as typed
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("latinWords"); // every Latin word the book may print
        const int cyr = int(TScript::Cyrillic), lat = int(TScript::Latin);
        QTest::newRow("ćirilica, u ćirilici")
            << cyr << cyr
            << QStringList{"Деловодник за 2022. годину", "Општина Шабац", "ЈКП Водовод", "Чачак превоз",
                           "Решење", "Захтев за прикључак", "Страна 1 од 1", "Укупно ставки: 2"}
            << QStringList{};
        QTest::newRow("ćirilica, kako je uneto")
            << cyr << -1 << QStringList{"Деловодник за 2022. годину", "Opština Šabac", "JKP Vodovod", "Чачак превоз"}
            << QStringList{"Opština", "Šabac", "JKP", "Vodovod", "Čačak", "Rešenje", "Zahtev", "za", "priključak"};
        QTest::newRow("latinica, u latinici")
            << lat << lat << QStringList{"Delovodnik za 2022. godinu", "Čačak prevoz", "Žalba", "Račun za jun"}
            << QStringList{};
    }

    void bookInScript()
    {
        REQUIRE_TESTDB(fx.Db);
        QFETCH(int, interface);
        QFETCH(int, data);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, latinWords);
        SetInterfaceScript(TScript(interface));
        const auto latinAgain = qScopeGuard([] { SetInterfaceScript(TScript::Latin); });
        TRegisterBookPrint print;
        if (data >= 0)
            print.DataScript = TScript(data);
        const QString file = m_dir.filePath(QStringLiteral("script.pdf"));
        QVERIFY(SaveRegisterBook(fx.Db.Connection(), 2022, print, file));
        QString text = pdfText(file, TScript(interface) == TScript::Cyrillic && data >= 0 ? QStringLiteral("delovodnik-cirilica.pdf") : QString())
                           .simplified();
        for (const QString &expected : shown)
            QVERIFY2(text.contains(expected), qPrintable(expected + u'\n' + text));
        // The history's checksum is hexadecimal digits, in any script.
        const QString head = fx.Scalar(QStringLiteral("SELECT SUBSTR(headhash, 1, 16) FROM historychain")).toString();
        text.remove(head);
        if (TScript(interface) == TScript::Latin) {
            QVERIFY2(!HasCyrillic(text), qPrintable(text));
        } else {
            const QSet<QString> allowed(latinWords.begin(), latinWords.end());
            QSet<QString> printed = LatinWordsIn(text);
            QVERIFY2(printed.subtract(allowed).isEmpty(), qPrintable(QStringList(printed.values()).join(u' ')));
        }
    }

    // One partner's items: the list's criterion, in either script and without diacritics.
    void bookOfPartner_data()
    {
        QTest::addColumn<QString>("partner");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("as typed") << "Čačak" << QStringList{"2/22"};
        QTest::newRow("without diacritics") << "cacak" << QStringList{"2/22"};
        QTest::newRow("in Cyrillic, capitals") << "ЧАЧАК" << QStringList{"2/22"};
        QTest::newRow("Cyrillic of a Latin name") << "јкп вод" << QStringList{"1/22"};
        QTest::newRow("no such") << "Ђ" << QStringList{};
    }

    void bookOfPartner()
    {
        REQUIRE_TESTDB(fx.Db);
        QFETCH(QString, partner);
        QFETCH(QStringList, numbers);
        TRegisterBookPrint print;
        print.Partner = partner;
        const QString file = m_dir.filePath(QStringLiteral("partner.pdf"));
        QVERIFY(SaveRegisterBook(fx.Db.Connection(), 2022, print, file));
        QCOMPARE(numbersIn(pdfText(file)), numbers);
    }

    void refusedAndCancelled()
    {
        REQUIRE_TESTDB(fx.Db);
        TZConnection &c = fx.Db.Connection();
        const QString file = m_dir.filePath(QStringLiteral("cancelled.pdf"));
        QVERIFY(!SaveRegisterBook(c, 2025, {1}, file, [](qint64 done, qint64) { return done == 0; }));
        QVERIFY(!QFile::exists(file));
        QVERIFY(!SaveContinuityReport(c, 2025, file, [](qint64, qint64) { return false; }));
        QVERIFY(!QFile::exists(file));
        QVERIFY_THROWS_EXCEPTION(KException, SaveRegisterBook(c, 0, {}, file));
        QVERIFY_THROWS_EXCEPTION(KException, SaveRegisterBook(c, 2025, {}, m_dir.filePath(QStringLiteral("no/such.pdf"))));
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("cancelled")).isEmpty());
    }

    // A pass-on copy renumbered to a number in use: the unique key lets it through.
    void continuityFindsRenumberedCopy()
    {
        REQUIRE_TESTDB(fx.Db);
        const qint64 copy = item(1, "10/25", "2025-04-01 10:00:00", m_ids["13/25"]);
        const QString file = m_dir.filePath(QStringLiteral("continuity.pdf"));
        QVERIFY(SaveContinuityReport(fx.Db.Connection(), 2025, file));
        fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {copy});
        const QString text = pdfText(file, QStringLiteral("kontinuitet.pdf")).simplified();
        for (const char *expected : {"Kontinuitet delovodnih brojeva za 2025. godinu", "Nedostaje 1/25",
                                     "3/25 – 9/25", "Nedostaje 11/25", "Dvostruki broj 10/25", "Nedostaje 2/25", "Ukupno nalaza: 5"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
    }

    void fromTheList()
    {
        REQUIRE_TESTDB(fx.Db);
        TLedgerViewerForm frame(nullptr);
        ScopedScriptedDialogs dialogs;
        dialogs->ModalHandlers.push_back([](QDialog &d) {
            auto &dialog = dynamic_cast<TRegisterBookDialog &>(d);
            dialog.YearEdit->setValue(2025);
            dialog.InternalCheck->setChecked(false);
            keepPicture(dialog, QStringLiteral("delovodnik-dialog.png"));
            return int(QDialog::Accepted);
        });
        frame.ActionByName(QStringLiteral("RegisterBookAction"))->trigger();
        const QString file = m_dir.filePath(QStringLiteral("iz liste"));
        dialogs->ModalHandlers.push_back([&file](QDialog &d) {
            auto &dialog = dynamic_cast<TRegisterBookDialog &>(d);
            dialog.YearEdit->setValue(2025);
            dialog.PdfEdit->setText(file);
            return int(QDialog::Accepted);
        });
        frame.ActionByName(QStringLiteral("RegisterBookAction"))->trigger();
        QVERIFY(pdfText(file + QStringLiteral(".pdf")).contains(QStringLiteral("Delovodnik za 2025. godinu")));
        QCOMPARE(dialogs->Messages.size(), 1);
        QVERIFY(dialogs->Messages[0].Text.startsWith(QStringLiteral("Delovodnik je sačuvan u datoteci")));
        // Its progress went through the dialogs, and was closed.
        QVERIFY(!dialogs->TaskSteps.isEmpty());
        QCOMPARE(dialogs->TaskEnds, 1);
        dialogs->ModalHandlers.push_back([](QDialog &d) {
            auto &dialog = dynamic_cast<TContinuityDialog &>(d);
            dialog.YearEdit->setValue(2025);
            dialog.CheckButton->click();
            const QTreeWidgetItem *incoming = dialog.FindingsTree->topLevelItem(0);
            if (dialog.FindingsTree->topLevelItemCount() != 3 || incoming->childCount() != 3
                || incoming->child(2)->text(1) != QLatin1String("11/25")
                || dialog.FindingsTree->topLevelItem(2)->child(0)->text(0) != QLatin1String("U redu"))
                return int(QDialog::Rejected);
            keepPicture(dialog, QStringLiteral("kontinuitet-dialog.png"));
            dialog.PrintButton->click();
            return int(QDialog::Accepted);
        });
        frame.ActionByName(QStringLiteral("ContinuityAction"))->trigger();
        QVERIFY(dialogs->ModalHandlers.empty());
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Previews, QStringList({"Delovodnik za 2025. godinu",
                                                 "Kontinuitet delovodnih brojeva za 2025. godinu"}));
    }

    // The preview's painting of the book shows its progress, and closes it.
    void previewShowsItsPainting()
    {
        REQUIRE_TESTDB(fx.Db);
        ScopedScriptedDialogs dialogs;
        const QString file = m_dir.filePath(QStringLiteral("pregled.pdf"));
        dialogs->PreviewHandlers.push_back([&file](QPrinter &printer, const std::function<void(QPrinter &)> &paint) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            paint(printer);
        });
        PreviewRegisterBook(fx.Db.Connection(), 2025, {});
        QCOMPARE(dialogs->Previews, QStringList{"Delovodnik za 2025. godinu"});
        QCOMPARE(dialogs->TaskSteps.first(), 0);
        // Twice the 13 lines (three headings, nine items and copies, no internal one): measured, then painted.
        QCOMPARE(dialogs->TaskSteps.last(), 26);
        QCOMPARE(dialogs->TaskEnds, 1);
        QVERIFY(numbersIn(pdfText(file)).contains(QStringLiteral("12/25-1")));
    }

    // Every read of the register waits off this thread (the wait is shown
    // while the event loop runs), and a cancel while it waits leaves no file,
    // no preview and no dialog; the next read works.
    void cancelWhileReading_data()
    {
        QTest::addColumn<QString>("read");
        QTest::addColumn<bool>("aborted"); // EAbort, rather than false from the save
        QTest::addColumn<QString>("message");
        QTest::newRow("book to a file") << "book file" << false << QString();
        QTest::newRow("numbering check to a file") << "check file" << false << QString();
        QTest::newRow("book saved from the list") << "book action file" << false
                                                  << "Upisivanje je otkazano; datoteka nije napravljena.";
        QTest::newRow("book previewed from the list") << "book action" << false << QString();
        QTest::newRow("numbering check from the list") << "check action" << false << QString();
        QTest::newRow("numbering check dialog") << "check dialog" << true << QString();
    }
    void cancelWhileReading()
    {
        REQUIRE_TESTDB(fx.Db);
        QFETCH(QString, read);
        QFETCH(bool, aborted);
        QFETCH(QString, message);
        TZConnection &c = fx.Db.Connection();
        const QString file = m_dir.filePath(QStringLiteral("waited.pdf"));
        TLedgerViewerForm frame(nullptr);
        bool saved = true, threw = false;
        {
            LockedTables locked(fx.Db, {QStringLiteral("ledgeritem")});
            ScopedCancellingDialogs dialogs(locked);
            dialogs->ModalHandlers.push_back([&](QDialog &d) {
                auto &dialog = dynamic_cast<TRegisterBookDialog &>(d);
                dialog.YearEdit->setValue(2025);
                dialog.PdfEdit->setText(read.endsWith(QLatin1String("file")) ? file : QString());
                return int(QDialog::Accepted);
            });
            try {
                if (read == QLatin1String("book file"))
                    saved = SaveRegisterBook(c, 2025, {}, file);
                else if (read == QLatin1String("check file"))
                    saved = SaveContinuityReport(c, 2025, file);
                else if (read.startsWith(QLatin1String("book action")))
                    frame.ActionByName(QStringLiteral("RegisterBookAction"))->trigger();
                else if (read == QLatin1String("check action"))
                    frame.ActionByName(QStringLiteral("ContinuityAction"))->trigger();
                else
                    TContinuityDialog(c, 2025);
            } catch (const EAbort &) {
                threw = true;
            }
            QVERIFY(dialogs->Waits() > 0);
            QCOMPARE(dialogs->Notices, QStringList{LoadCancelledText});
            QCOMPARE(dialogs->Messages.size(), message.isEmpty() ? 0 : 1);
            if (!message.isEmpty())
                QCOMPARE(dialogs->Messages[0].Text, message);
            QVERIFY(dialogs->Previews.isEmpty());
            // Only the register's own dialog was shown, never the numbering check's.
            QCOMPARE(dialogs->ModalCount, read.startsWith(QLatin1String("book action")) ? 1 : 0);
        }
        QCOMPARE(threw, aborted);
        if (!read.contains(QLatin1String("action")) && !aborted)
            QVERIFY(!saved);
        QVERIFY(!QFile::exists(file));
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("waited")).isEmpty());
        QVERIFY(SaveRegisterBook(c, 2025, {1}, file));
        QVERIFY(QFile::remove(file));
    }

    // The office's columns: subject, the mark with its retention, the unit,
    // where the item was filed, and a cancelled item marked with why, by whom
    // and when. A year of its own keeps the other cases' books as they are.
    void officeColumns()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Insert(QStringLiteral("classification"), {{"mark", "011"}, {"name", "Akta"}, {"retentionyears", 10}});
        fx.Insert(QStringLiteral("classification"), {{"mark", "031"}, {"name", "Ugovori"}, {"retentionyears", QVariant()}});
        const auto filed = [this](const char *number, const QVariantMap &values) {
            fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE ledgeritem SET %1 = ? WHERE ledgeritemid = ?")
                                           .arg(values.keys().join(QStringLiteral(" = ?, "))),
                                       QVariantList(values.values()) << item(1, number, "2023-03-01 10:00:00"));
        };
        filed("1/23", {{"subject", "Zahtev za uverenje"}, {"classification", "011"}, {"orgunit", "Pisarnica"},
                       {"archived", "y"}, {"archivednumber", "A-7"}});
        filed("2/23", {{"subject", "Zakup"}, {"classification", "031"}, {"archived", "y"}});
        filed("3/23", {{"subject", "Dopis"}, {"cancelled", "y"}, {"cancelreason", "Pogrešan unos"}, {"cancelledby", 1},
                       {"cancelledat", "2023-03-02 09:15:00"}});
        filed("4/23", {{"classification", "077"}});
        const QString file = m_dir.filePath(QStringLiteral("kolone.pdf"));
        QVERIFY(SaveRegisterBook(fx.Db.Connection(), 2023, {1}, file));
        const QString text = pdfText(file, QStringLiteral("delovodnik-kolone.pdf"));
        QCOMPARE(numbersIn(text), QStringList({"1/23", "2/23", "3/23", "4/23"}));
        const QString words = text.simplified();
        for (const char *expected : {"Predmet", "Klas. oznaka", "Org.", "Zahtev za uverenje", "011 / 10 god.",
                                     "Pisarnica", "A-7", "031 / trajno", "a/a", "STORNO", "STORNIRANO: Pogrešan unos",
                                     "(Ana Petrović, 02.03.2023)", "077"})
            QVERIFY2(words.contains(QString::fromUtf8(expected)), expected);
    }

private:
    qint64 item(int direction, const char *number, const char *when, qint64 passOnParent = 0)
    {
        QVariantMap values{{"direction", direction}, {"ledgernumber", number}, {"ledgerdatetime", when},
                           {"itemtype", "Dopis"},    {"userid", 1},            {"partnerid", QVariant()}};
        if (passOnParent)
            values.insert("passonparentid", passOnParent);
        return fx.Insert(QStringLiteral("ledgeritem"), values);
    }

    LedgerFixture fx;
    QTemporaryDir m_dir;
    QHash<QString, qint64> m_ids;
};

QTEST_MAIN(TestRegisterBook)
#include "tst_registerbook.moc"
