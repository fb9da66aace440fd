// E-mails brought to intake: the header decoded, the body in its charset or
// from HTML, attachments byte for byte, the message drawn as a PDF.

#include "KException.h"
#include "MailTestFiles.h"
#include "data/IntakeMail.h"

#include <QBuffer>
#include <QPdfDocument>
#include <QTimeZone>
#include <QtTest>
#include <thread>

namespace {

const QByteArrayList header{"From: Pisarnica <Pisarnica@Cacak.rs>", "To: prijem@opstina.rs",
                            "Date: Thu, 03 Dec 2026 10:15:00 +0100", "Subject: Zahtev za dostavu"};

QByteArrayList with(QByteArrayList lines, const QByteArrayList &more)
{
    return lines << more;
}

// Every byte value, after a PDF's signature.
QByteArray pdfBytes()
{
    QByteArray data("%PDF-1.4\n");
    for (int i = 0; i < 256; ++i)
        data.append(char(i));
    return data;
}

} // namespace

class TestIntakeMail : public QObject
{
    Q_OBJECT
private slots:
    void looksLikeMail_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("looks");
        QTest::newRow("message") << TestMail(header, "Tekst") << true;
        QTest::newRow("folded line") << TestMail({"Received: from a", "\tby b", "From: a@b.rs"}, "x") << true;
        QTest::newRow("mbox separator") << QByteArray("From a@b.rs Thu Dec 3 10:15:00 2026\nFrom: a@b.rs\n\nx") << true;
        QTest::newRow("a broken line") << QByteArray("From: a@b.rs\nX-Note: a\nbroken\nTo: c@d.rs\n\nx") << true;
        QTest::newRow("unknown fields only") << QByteArray("Naziv: firma\nAdresa: ulica\n\nx") << false;
        QTest::newRow("pdf") << QByteArray("%PDF-1.4\n%\xe2\xe3\n1 0 obj") << false;
        QTest::newRow("plain text") << QByteArray("Poštovani,\nFrom: nije zaglavlje\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void looksLikeMail()
    {
        QFETCH(QByteArray, content);
        QTEST(LooksLikeMail(content), "looks");
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("eml");
        QTest::addColumn<QString>("senderName");
        QTest::addColumn<QString>("senderAddress");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("attachments");
        const QByteArrayList textUtf8{"Content-Type: text/plain; charset=utf-8", "Content-Transfer-Encoding: 8bit"};
        QTest::newRow("plain UTF-8") << TestMail(with(header, textUtf8), "Poštovani,\nčćžšđ ČĆŽŠĐ Ђорђе\n")
                                     << "Pisarnica" << "pisarnica@cacak.rs" << "Zahtev za dostavu"
                                     << "Poštovani,\nčćžšđ ČĆŽŠĐ Ђорђе" << QStringList();
        QTest::newRow("quoted-printable ISO-8859-2")
            << TestMail(with(header, {"Content-Type: text/plain; charset=ISO-8859-2",
                                      "Content-Transfer-Encoding: quoted-printable"}),
                        "Po=B9tovani, =E8=E6=BE=B9=F0 =C8=C6=AE=A9=D0 dugi=\n red")
            << "Pisarnica" << "pisarnica@cacak.rs" << "Zahtev za dostavu" << "Poštovani, čćžšđ ČĆŽŠĐ dugi red"
            << QStringList();
        QTest::newRow("Windows-1250 without a charset")
            << TestMail(header, "Po\x9Atovani, \x9E\x8A\xE8") << "Pisarnica" << "pisarnica@cacak.rs"
            << "Zahtev za dostavu" << "Poštovani, žŠč" << QStringList();
        QTest::newRow("HTML only")
            << TestMail(with(header, {"Content-Type: text/html; charset=utf-8"}),
                        "<html><head><style>p{color:red}</style><script>x()</script></head><body>"
                        "<p>Poštovani,</p><p>Predmet: <b>Zahtev</b> &amp; molba<br>za&nbsp;dozvolu</p></body></html>")
            << "Pisarnica" << "pisarnica@cacak.rs" << "Zahtev za dostavu" << "Poštovani,\nPredmet: Zahtev & molba\nza dozvolu"
            << QStringList();
        QTest::newRow("plain preferred to HTML")
            << TestMail(with(header, {"MIME-Version: 1.0", "Content-Type: multipart/alternative; boundary=a"}),
                        "--a\nContent-Type: text/html\n\n<p>HTML</p>\n--a\nContent-Type: text/plain\n\nObican\n--a--\n")
            << "Pisarnica" << "pisarnica@cacak.rs" << "Zahtev za dostavu" << "Obican" << QStringList();
        QTest::newRow("encoded words")
            << TestMail({"From: =?UTF-8?B?T3DFoXRpbmEgxIxhxI1haw==?= <pisarnica@cacak.rs>",
                         "Subject: =?ISO-8859-2?Q?Re=B9enje_o_upisu?= =?UTF-8?B?0JfQsNGF0YLQtdCyINC30LAg0YPQv9C40YE=?="},
                        "x")
            << "Opština Čačak" << "pisarnica@cacak.rs" << "Rešenje o upisuЗахтев за упис" << "x" << QStringList();
        QTest::newRow("PDF attachment, encoded name")
            << TestMailWithAttachment(header, "Šaljemo rešenje.", "filename=\"=?UTF-8?Q?re=C5=A1enje_broj_12.pdf?=\"",
                                      "application/pdf", pdfBytes())
            << "Pisarnica" << "pisarnica@cacak.rs" << "Zahtev za dostavu" << "Šaljemo rešenje."
            << QStringList{"rešenje broj 12.pdf"};
        QTest::newRow("signed: no signature attachment")
            << TestMail(with(header, {"MIME-Version: 1.0",
                                      "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\"; boundary=s"}),
                        "--s\nContent-Type: text/plain\n\nPotpisano\n--s\nContent-Type: application/pkcs7-signature; "
                        "name=smime.p7s\nContent-Disposition: attachment; filename=smime.p7s\n"
                        "Content-Transfer-Encoding: base64\n\nAAEC\n--s--\n")
            << "Pisarnica" << "pisarnica@cacak.rs" << "Zahtev za dostavu" << "Potpisano" << QStringList();
        QTest::newRow("attachment only, RFC 2231 name")
            << TestMailWithAttachment(header, "", "filename*=UTF-8''%C5%A1ema.pdf", "application/pdf", pdfBytes())
            << "Pisarnica" << "pisarnica@cacak.rs" << "Zahtev za dostavu" << "" << QStringList{"šema.pdf"};
    }
    void read()
    {
        QFETCH(QByteArray, eml);
        QFETCH(QStringList, attachments);
        const TIntakeDocument document = ReadIntakeMail(eml, QStringLiteral("/tmp/poruka.eml"));
        QCOMPARE(document.Kind, TIntakeKind::Mail);
        QVERIFY(document.Mail.has_value());
        QTEST(document.Mail->SenderName, "senderName");
        QTEST(document.Mail->SenderAddress, "senderAddress");
        QTEST(document.Mail->Subject, "subject");
        QCOMPARE(document.Pages.size(), 1);
        QTEST(document.Pages.at(0).Text, "body");
        QCOMPARE(document.Pages.at(0).Source, TTextSource::Mail);
        QCOMPARE(document.Attachments.size(), attachments.size());
        for (int i = 0; i < attachments.size(); ++i) {
            QCOMPARE(document.Attachments.at(i).FileName, attachments.at(i));
            QCOMPARE(document.Attachments.at(i).MimeType, QStringLiteral("application/pdf"));
            QCOMPARE(document.Attachments.at(i).Data, pdfBytes());
        }
        QCOMPARE(document.Sha256.size(), 64);
    }

    void header_dateAndRendering()
    {
        const QByteArray eml = TestMail(with(header, {"Content-Type: text/plain; charset=utf-8"}), "Poštovani,\nčćžšđ");
        const TIntakeDocument document = ReadIntakeMail(eml, QStringLiteral("poruka.eml"));
        QCOMPARE(document.Mail->Sent, QDateTime(QDate(2026, 12, 3), QTime(9, 15), QTimeZone::utc()));
        QCOMPARE(document.Sha256, QString::fromLatin1(QCryptographicHash::hash(eml, QCryptographicHash::Sha256).toHex()));
        QBuffer buffer;
        buffer.setData(document.ScanPdf);
        buffer.open(QIODevice::ReadOnly);
        QPdfDocument pdf;
        pdf.load(&buffer);
        QCOMPARE(pdf.pageCount(), 1);
        const QString text = pdf.getAllText(0).text();
        for (const char *expected : {"Od: Pisarnica <pisarnica@cacak.rs>", "Za: prijem@opstina.rs",
                                     "Predmet: Zahtev za dostavu", "čćžšđ"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("Datum: 03\\.12\\.2026 \\d\\d:15"))));
    }

    // GMime is set up by whichever thread comes first; readers run on worker threads.
    void twoThreads()
    {
        const QByteArray eml = TestMailWithAttachment(header, "Tekst", "filename=a.pdf", "application/pdf", pdfBytes());
        TIntakeDocument read[2];
        std::thread first([&] { read[0] = ReadIntakeMail(eml, QStringLiteral("a.eml")); });
        std::thread second([&] { read[1] = ReadIntakeMail(eml, QStringLiteral("a.eml")); });
        first.join();
        second.join();
        for (const TIntakeDocument &document : read) {
            QCOMPARE(document.Pages.at(0).Text, QStringLiteral("Tekst"));
            QCOMPARE(document.Attachments.at(0).Data, pdfBytes());
            QVERIFY(document.ScanPdf.startsWith("%PDF"));
        }
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("pdf") << pdfBytes() << "Datoteka „poruka.eml“ nije poruka e-pošte.";
        QTest::newRow("0 bytes") << QByteArray() << "Datoteka „poruka.eml“ nije poruka e-pošte.";
        QTest::newRow("no body") << TestMail(header, "") << "Poruka „poruka.eml“ nema ni tekst ni priloge.";
        QTest::newRow("empty HTML") << TestMail(with(header, {"Content-Type: text/html"}), "<p> </p>")
                                    << "Poruka „poruka.eml“ nema ni tekst ni priloge.";
    }
    void refused()
    {
        QFETCH(QByteArray, content);
        try {
            ReadIntakeMail(content, QStringLiteral("/tmp/poruka.eml"));
            QFAIL("read");
        } catch (const KException &e) {
            QTEST(e.message(), "message");
        }
    }
};

QTEST_MAIN(TestIntakeMail)
#include "tst_intakemail.moc"
