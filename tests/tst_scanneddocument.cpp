// "Sken. dok." on the detail form: the item's own scan, its stored
// document's scan, or a PDF the user picks, in a scanned-documents folder of
// the test's own.

#include "IniFile.h"
#include "LedgerFixture.h"
#include "TestFiles.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>


class TestScannedDocument : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        m_document = fx.Scalar(QStringLiteral("SELECT MIN(documentid) FROM document")).toLongLong();
    }
    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        m_dir.emplace();
        m_picked.emplace();
        // A name a person may well write into the ini by hand.
        m_scanDir = m_dir->filePath(QStringLiteral("Skenovi, 2024; a\\b ž"));
        QVERIFY(QDir().mkdir(m_scanDir));
        setScanDir(m_scanDir);
    }
    void cleanupTestCase()
    {
        QFile::remove(TLedgerDM::ApplicationIniFileName());
        fx.Stop();
    }

    void scan_data()
    {
        QTest::addColumn<bool>("ownScan");
        QTest::addColumn<bool>("documentScan");  // d<document>.pdf in the folder
        QTest::addColumn<bool>("storedDocument"); // else chosen in the form, not applied
        QTest::addColumn<QString>("pick");        // file dialog's answer: good, missing, or empty (cancel)
        QTest::addColumn<QString>("opened");      // l, d or empty
        QTest::addColumn<bool>("fileDialog");
        QTest::addColumn<QString>("error");       // start of the error shown

        QTest::newRow("own scan wins") << true << true << true << "" << "l" << false << "";
        QTest::newRow("document scan opened, not copied") << false << true << true << "" << "d" << false << "";
        QTest::newRow("document not applied yet") << false << true << false << "" << "" << true << "";
        QTest::newRow("picked and copied") << false << false << true << "good" << "l" << true << "";
        QTest::newRow("picker cancelled") << false << false << true << "" << "" << true << "";
        QTest::newRow("picked file unreadable") << false << false << true << "missing" << "" << true
                                                << "Datoteka nije kopirana: ";
    }

    void scan()
    {
        QFETCH(bool, ownScan);
        QFETCH(bool, documentScan);
        QFETCH(bool, storedDocument);
        QFETCH(QString, pick);
        QFETCH(QString, opened);
        QFETCH(bool, fileDialog);
        QFETCH(QString, error);

        const qint64 id = fx.AddItem({{QStringLiteral("documentid"),
                                       storedDocument ? QVariant(m_document) : QVariant(QMetaType::fromType<qint64>())}});
        const QString own = inDir(QStringLiteral("l%1.pdf").arg(id));
        const QString document = inDir(QStringLiteral("d%1.pdf").arg(m_document));
        if (ownScan)
            QVERIFY(WriteTestFile(own, "%PDF-1.4 own"));
        if (documentScan)
            QVERIFY(WriteTestFile(document, "%PDF-1.4 document"));
        const QString source = m_picked->filePath(QStringLiteral("sken 1.pdf"));
        QVERIFY(WriteTestFile(source, QByteArray("%PDF-1.4 picked\n").repeated(5000)));
        {
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime(QDate(2001, 5, 6), QTime(7, 8)), QFileDevice::FileModificationTime));
        }
        const QVariantList before = fx.Row(id);
        DetailFormOn on(id);
        ScriptedDialogs &dialogs = *on.dialogs;
        if (pick == QLatin1String("good"))
            dialogs.FileAnswers.push_back(source);
        else if (pick == QLatin1String("missing"))
            dialogs.FileAnswers.push_back(m_picked->filePath(QStringLiteral("nema.pdf")));
        if (!storedDocument) {
            on.items().LedgerItemZQ->Edit();
            on.items().LedgerItemZQdocumentid->SetAsLargeInt(m_document);
        }
        const QDateTime pressed = QDateTime::currentDateTime().addSecs(-2);
        on.form.ScannedDocumentButton->click();

        const QString expectedOpen = opened.isEmpty() ? QString() : opened == QLatin1String("l") ? own : document;
        QCOMPARE(dialogs.OpenedFiles, expectedOpen.isEmpty() ? QStringList() : QStringList{expectedOpen});
        QCOMPARE(dialogs.FileDialogs, fileDialog ? QStringList{QStringLiteral("Učitaj PDF|PDF (*.pdf)")} : QStringList());
        QCOMPARE(dialogs.Messages.size(), error.isEmpty() ? 0 : 1);
        if (!error.isEmpty()) {
            QCOMPARE(dialogs.Messages.first().Type, TMsgDlgType::Error);
            QVERIFY2(dialogs.Messages.first().Text.startsWith(error), qPrintable(dialogs.Messages.first().Text));
        }
        if (pick == QLatin1String("good")) {
            QCOMPARE(ReadTestFile(own), ReadTestFile(source));
            QVERIFY(QFileInfo(own).lastModified() >= pressed);
        } else if (!ownScan) {
            QVERIFY(!QFile::exists(own));
        }
        // Only the folder changes; a temporary file never stays behind.
        QCOMPARE(QDir(m_scanDir).entryList(QDir::Files).size(),
                 int(ownScan || pick == QLatin1String("good")) + int(documentScan));
        QCOMPARE(fx.Row(id), before);
    }

    void unstoredItem_data()
    {
        QTest::addColumn<QString>("itemType"); // empty: the store is refused
        QTest::newRow("stored first") << "Rešenje";
        QTest::newRow("store refused") << "";
    }

    // A scan is named after the item's id, so a new item is stored first.
    void unstoredItem()
    {
        QFETCH(QString, itemType);
        const int items = fx.ItemCount();
        auto added = LedgerFixture::OpenItem(-1);
        added->LedgerItemZQ->Append();
        added->LedgerItemZQitemtype->SetAsString(itemType);
        ScopedScriptedDialogs dialogs;
        TLedgerDetailForm form(nullptr, std::move(added));
        form.show();
        form.ScannedDocumentButton->click();

        QCOMPARE(fx.ItemCount(), items + (itemType.isEmpty() ? 0 : 1));
        QCOMPARE(dialogs->FileDialogs.size(), itemType.isEmpty() ? 0 : 1);
        QCOMPARE(dialogs->Messages.size(), itemType.isEmpty() ? 1 : 0);
        QVERIFY(dialogs->OpenedFiles.isEmpty());
        QVERIFY(QDir(m_scanDir).entryList(QDir::Files).isEmpty());
    }

    // The user neither creates the configured folder nor picks another.
    void noDirectory()
    {
        setScanDir(m_dir->filePath(QStringLiteral("nema")));
        DetailFormOn on(fx.AddItem());
        ScopedScriptedDialogs &dialogs = on.dialogs;
        dialogs->MessageAnswers = {mbNo};
        on.form.ScannedDocumentButton->click();

        QCOMPARE(dialogs->BrowseTitles.size(), 1);
        QCOMPARE(dialogs->Messages.size(), 2);
        QCOMPARE(dialogs->Messages.last().Text,
                 QStringLiteral("Folder za skenirana dokumenta nije izabran, pa skenirani dokument nije otvoren."));
        QVERIFY(dialogs->FileDialogs.isEmpty());
        QVERIFY(dialogs->OpenedFiles.isEmpty());
        QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("nema"))));
    }

private:
    static void setScanDir(const QString &dir)
    {
        TIniFile ini(TLedgerDM::ApplicationIniFileName());
        ini.SetValue(QStringLiteral("Document"), QStringLiteral("ScanDocDir"), dir);
        ini.Save();
    }
    QString inDir(const QString &name) const { return QDir(m_scanDir).filePath(name); }

    LedgerFixture fx;
    qint64 m_document = 0;
    std::optional<QTemporaryDir> m_dir;
    std::optional<QTemporaryDir> m_picked;
    QString m_scanDir;
};

QTEST_MAIN(TestScannedDocument)
#include "tst_scanneddocument.moc"
