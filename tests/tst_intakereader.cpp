// A document read for intake: a PDF's text layer, pages read by OCR from
// PNG, multi-page TIFF and a PDF of pictures, the PDF kept as the scan, and
// every way a file can fail ending in a clear message.

#include "IntakeTestDocs.h"
#include "KException.h"
#include "MailTestFiles.h"
#include "TestFiles.h"
#include "data/IntakeDocument.h"

#include <QDir>
#include <QFile>
#include <QPdfDocument>
#include <QTemporaryDir>
#include <QtTest>

using TPages = QList<QStringList>;

class TestIntakeReader : public QObject
{
    Q_OBJECT
private slots:
    // A temporary folder of the test's own: others' files come and go in /tmp.
    void initTestCase()
    {
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("tmp")));
        qputenv("TMPDIR", m_dir.filePath(QStringLiteral("tmp")).toUtf8());
    }

    void textLayer_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("sha256");
        QTest::newRow("hand-made") << HandMadeTextPdf("Ovo je tekst dopisa broj 404-12/2026-03")
                                   << QStringList{"Ovo je tekst dopisa broj 404-12/2026-03"}
                                   << "9138e4565cf6b18ba27297ef6ba815b1ed495b8945514279b49567c30bb6c27f";
        QTest::newRow("both scripts") << TestTextPdf({LatinPage, CyrillicPage})
                                      << QStringList{"ABCČĆDDžĐEFGHIJKLLjMNNjOPRSŠTUVZŽ\n"
                                                     "abcčćddžđefghijklljmnnjoprsštuvzž\n"
                                                     "Ljubazni fenjerdžija čađavog lica hoće da mi pokaže štos.",
                                                     "АБВГДЂЕЖЗИЈКЛЉМЊНОПРСТЋУФХЦЧЏШ\n"
                                                     "абвгдђежзијклљмњнопрстћуфхцчџш\n"
                                                     "Љубазни фењерџија чађавог лица хоће да ми покаже штос."}
                                      << "";
    }
    void textLayer()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, texts);
        QFETCH(QString, sha256);
        const QString path = m_dir.filePath(QStringLiteral("dopis.pdf"));
        QVERIFY(WriteTestFile(path, bytes));
        TIntakeControl control;
        const TIntakeDocument document = ReadIntakeFile(path, control);
        QCOMPARE(document.Kind, TIntakeKind::Pdf);
        QCOMPARE(document.Pages.size(), texts.size());
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QCOMPARE(document.Pages[i].Text, texts[i]);
            QCOMPARE(document.Pages[i].Source, TTextSource::TextLayer);
            QCOMPARE(document.Pages[i].Confidence, 1.0);
        }
        QCOMPARE(document.ScanPdf, bytes);
        if (!sha256.isEmpty())
            QCOMPARE(document.Sha256, sha256);
    }

    // Each expected line is found with a slip or two at most: a wrong
    // language, a lost or swapped page reads far worse.
    void ocr_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("languages");
        QTest::addColumn<TIntakeKind>("kind");
        QTest::addColumn<TPages>("pages");
        QTest::addColumn<bool>("readable");
        const QString all = QStringLiteral("srp+srp_latn+eng");
        QTest::newRow("PNG") << TestPng(DrawTestPage(LatinPage)) << all << TIntakeKind::Image << TPages{LatinPage}
                             << true;
        QTest::newRow("TIFF of two pages") << TestTiff({DrawTestPage(LatinPage), DrawTestPage(CyrillicPage)}) << all
                                           << TIntakeKind::Image << TPages{LatinPage, CyrillicPage} << true;
        QTest::newRow("PDF of pictures") << TestPicturePdf({DrawTestPage(CyrillicPage), DrawTestPage(LatinPage)})
                                         << all << TIntakeKind::Pdf << TPages{CyrillicPage, LatinPage} << true;
        QTest::newRow("Cyrillic as English") << TestPng(DrawTestPage(CyrillicPage)) << "eng" << TIntakeKind::Image
                                             << TPages{CyrillicPage} << false;
    }
    void ocr()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, languages);
        QFETCH(TPages, pages);
        QFETCH(bool, readable);
        const QString path = m_dir.filePath(QStringLiteral("sken"));
        QVERIFY(WriteTestFile(path, bytes));
        TIntakeControl control;
        control.OcrLanguages = languages;
        const TIntakeDocument document = ReadIntakeFile(path, control);
        QTEST(document.Kind, "kind");
        QCOMPARE(document.Pages.size(), pages.size());
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const TIntakePage &page = document.Pages[i];
            QCOMPARE(page.Source, TTextSource::Ocr);
            for (const QString &line : pages[i])
                QVERIFY2((OcrSlips(line, page.Text) <= 3) == readable, qPrintable(page.Text));
            if (readable)
                QVERIFY2(page.Confidence > 0.7 && page.Confidence <= 1.0, qPrintable(QString::number(page.Confidence)));
        }
        // The scan: a picture is kept one page each, A4 as the scanner's 300 dpi make it.
        QByteArray scan = document.ScanPdf;
        QBuffer buffer(&scan);
        buffer.open(QIODevice::ReadOnly);
        QPdfDocument pdf;
        pdf.load(&buffer);
        QCOMPARE(pdf.pageCount(), pages.size());
        QCOMPARE(pdf.pagePointSize(0).toSize(), QSize(595, 842));
    }

    // The body first, then the first PDF or picture attached, which is kept
    // as the scan instead of the message's rendering.
    void mail_data()
    {
        const QByteArrayList header{"From: Opština Čačak <pisarnica@cacak.rs>", "Subject: Dopis"};
        const QByteArray pdf = TestTextPdf({LatinPage});
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("sources");
        QTest::addColumn<QString>("attached"); // a line of the attachment's page
        QTest::addColumn<QByteArray>("scan");
        QTest::newRow("PDF attached") << TestMailWithAttachment(header, "U prilogu dopis.", "filename=\"dopis.pdf\"",
                                                                "application/octet-stream", pdf)
                                      << "mail layer" << LatinPage[2] << pdf;
        QTest::newRow("scan attached") << TestMailWithAttachment(header, "U prilogu dopis.", "filename=\"sken.jpg\"",
                                                                 "image/jpeg",
                                                                 TestImage(DrawTestPage(CyrillicPage), "jpeg"))
                                       << "mail ocr" << CyrillicPage[2] << QByteArray();
        QTest::newRow("nothing attached") << TestMail(header, "U prilogu dopis.") << "mail" << "" << QByteArray();
    }
    void mail()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sources);
        QFETCH(QString, attached);
        QFETCH(QByteArray, scan);
        const QString path = m_dir.filePath(QStringLiteral("poruka.eml"));
        QVERIFY(WriteTestFile(path, bytes));
        TIntakeControl control;
        const TIntakeDocument document = ReadIntakeFile(path, control);
        QCOMPARE(document.Kind, TIntakeKind::Mail);
        QCOMPARE(document.Mail->SenderAddress, QStringLiteral("pisarnica@cacak.rs"));
        QStringList read;
        for (const TIntakePage &page : document.Pages)
            read << QStringList{"layer", "ocr", "mail"}.at(int(page.Source));
        QCOMPARE(read.join(u' '), sources);
        QCOMPARE(document.Pages[0].Text, QStringLiteral("U prilogu dopis."));
        if (!attached.isEmpty())
            QVERIFY2(OcrSlips(attached, document.Pages[1].Text) <= 3, qPrintable(document.Pages[1].Text));
        if (scan.isEmpty())
            QVERIFY(document.ScanPdf.startsWith("%PDF-"));
        else
            QCOMPARE(document.ScanPdf, scan);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("languages"); // for OCR, when not the usual
        QTest::newRow("0 bytes") << "prazan.pdf" << QByteArray() << "Fajl prazan.pdf je prazan (0 bajtova)." << "";
        QTest::newRow("damaged PDF") << "ostecen.pdf" << QByteArray("%PDF-1.4\n1 0 obj << /Type /Cat")
                                     << "PDF dokument ostecen.pdf je oštećen i ne može da se pročita." << "";
        QTest::newRow("password") << "lozinka.pdf" << PasswordPdf()
                                  << "PDF dokument lozinka.pdf je zaštićen lozinkom. Sačuvajte ga bez lozinke pa "
                                     "ponovite prijem." << "";
        QTest::newRow("20000 × 20000") << "ogromna.png" << PngHeaderOnly(20000, 20000)
                                       << "Slika ogromna.png je prevelika: 20000 × 20000 piksela (najviše 100 miliona "
                                          "piksela po strani). Skenirajte je sa 300 dpi." << "";
        QTest::newRow("cut image") << "odsecena.png" << TestPng(DrawTestPage(LatinPage)).left(3000)
                                   << "Slika odsecena.png je oštećena ili prevelika i ne može da se pročita." << "";
        QTest::newRow("unknown kind") << "dopis.docx" << QByteArray("PK\x03\x04\x14\0\0\0", 8)
                                      << "Vrsta fajla nije podržana: dopis.docx. Prijem prima PDF, slike (PNG, JPEG, "
                                         "TIFF) i e-poštu (.eml)." << "";
        QTest::newRow("protected attachment")
            << "poruka.eml"
            << TestMailWithAttachment({"From: a@b.rs"}, "Dopis.", "filename=\"lozinka.pdf\"", "application/pdf",
                                      PasswordPdf())
            << "Prilog poruke poruka.eml: PDF dokument lozinka.pdf je zaštićen lozinkom. Sačuvajte ga bez lozinke pa "
               "ponovite prijem." << "";
        QTest::newRow("empty PDF page") << "prazna.pdf" << TestTextPdf({{}})
                                        << "U dokumentu prazna.pdf nije pronađen nikakav tekst: sve strane su prazne."
                                        << "";
        QTest::newRow("empty scan") << "prazna.png" << TestPng(DrawTestPage({}))
                                    << "U dokumentu prazna.png nije pronađen nikakav tekst: sve strane su prazne." << "";
        QTest::newRow("language not installed") << "sken.png" << TestPng(DrawTestPage(LatinPage))
                                                << "Prepoznavanje teksta nije moguće: nisu instalirani podaci za "
                                                   "jezike „klingon“ (paketi tesseract-ocr-…)."
                                                << "srp+klingon";
    }
    void errors()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, languages);
        const QString path = m_dir.filePath(name);
        QVERIFY(WriteTestFile(path, bytes));
        TIntakeControl control;
        if (!languages.isEmpty())
            control.OcrLanguages = languages;
        try {
            ReadIntakeFile(path, control);
            QFAIL("read");
        } catch (const KException &e) {
            QTEST(e.message(), "message");
        }
    }

    // Sparse: no disk is spent on it, and nothing of it is read.
    void tooLargeFile()
    {
        QFile file(m_dir.filePath(QStringLiteral("arhiva.pdf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(201LL * 1024 * 1024));
        file.close();
        TIntakeControl control;
        try {
            ReadIntakeFile(file.fileName(), control);
            QFAIL("read");
        } catch (const KException &e) {
            QCOMPARE(e.message(), QStringLiteral("Fajl arhiva.pdf je prevelik: 201 MB (najviše 200 MB)."));
        }
    }

    // Between pages or inside one: no page is handed out, nothing is left.
    void cancel_data()
    {
        QTest::addColumn<bool>("beforeStart");
        QTest::newRow("before the first page") << true;
        QTest::newRow("after the first page") << false;
    }
    void cancel()
    {
        QFETCH(bool, beforeStart);
        const QString path = m_dir.filePath(QStringLiteral("tri.pdf"));
        const QImage page = DrawTestPage(LatinPage);
        QVERIFY(WriteTestFile(path, TestPicturePdf({page, page, page})));
        TIntakeControl control;
        control.Cancel = beforeStart;
        std::atomic<int> lastDone{0};
        control.Progress = [&](int done, int) {
            lastDone = done;
            control.Cancel = true;
        };
        QVERIFY_THROWS_EXCEPTION(EIntakeCancelled, ReadIntakeFile(path, control));
        QVERIFY(lastDone < 3);
        QCOMPARE(QDir::temp().entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void progress()
    {
        const QString path = m_dir.filePath(QStringLiteral("tri.pdf"));
        QVERIFY(WriteTestFile(path, TestTextPdf({LatinPage, CyrillicPage, LatinPage})));
        TIntakeControl control;
        QList<QPair<int, int>> calls;
        std::mutex mutex;
        control.Progress = [&](int done, int total) {
            const std::lock_guard lock(mutex);
            calls << qMakePair(done, total);
        };
        QCOMPARE(ReadIntakeFile(path, control).Pages.size(), 3);
        std::sort(calls.begin(), calls.end());
        QCOMPARE(calls, (QList<QPair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestIntakeReader)
#include "tst_intakereader.moc"
