// What intake proposes from a letter's text or an e-mail: partner, the
// sender's number and date, subject and kind, each with a confidence band.

#include "IntakeTestDocuments.h"
#include "data/IntakeProposalPartner.h"

#include <QtTest>

namespace {

TProposalField field(const QString &name)
{
    for (auto f : {TProposalField::Partner, TProposalField::ItemNumber, TProposalField::ItemDate, TProposalField::Subject,
                   TProposalField::ItemType})
        if (ProposalFieldName(f) == name)
            return f;
    qFatal("no field %s", qPrintable(name));
}

// "high" from 0.9, "fills" from the threshold, "shown" below it.
QString band(const TProposal *p)
{
    if (!p)
        return QStringLiteral("none");
    return p->Confidence >= 0.9 ? QStringLiteral("high") : p->Fills() ? QStringLiteral("fills") : QStringLiteral("shown");
}

void addColumns()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("band");
}

void checkBest(const TIntakeDocument &document)
{
    QFETCH(QString, field);
    const TIntakeProposals proposals = ProposeIntake(document, TestIntakePartners(), TestIntakeItemTypes());
    const TProposal *best = proposals.Best(::field(field));
    QTEST(band(best), "band");
    QTEST(best ? best->Value : QString(), "value");
}

} // namespace

class TestIntakeProposals : public QObject
{
    Q_OBJECT
private slots:
    void text_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("ocr");
        addColumns();
        const auto row = [](const char *name, const char *text, const char *field, const char *value, const char *band,
                            double ocr = 1.0) {
            QTest::newRow(name) << QString::fromUtf8(text) << ocr << field << QString::fromUtf8(value) << band;
        };
        row("PIB labelled", "Opština Čačak\nPIB: 101234569", "partner", "Opština Čačak", "high");
        row("PIB in Cyrillic", "ПИБ 101234569", "partner", "Opština Čačak", "high");
        row("PIB bare", "Uplata za 100012349 je primljena.", "partner", "Opština Čajetina", "high");
        row("PIB check digit wrong", "PIB: 101234560", "partner", "", "none");
        row("name in letterhead", "OPŠTINA ČAČAK\nOdeljenje za urbanizam", "partner", "Opština Čačak", "fills");
        row("name in Cyrillic", "ОПШТИНА ЧАЧАК", "partner", "Opština Čačak", "fills");
        row("name without diacritics", "Opstina Cacak", "partner", "Opština Čačak", "fills");
        row("name over two lines", "REPUBLIKA SRBIJA\nMINISTARSTVO\nFINANSIJA", "partner", "Ministarstvo finansija", "fills");
        row("addressee below the sender", "OPŠTINA ČAČAK\nBroj: 1/26\n\nMINISTARSTVO FINANSIJA\nKneza Miloša 20", "partner",
            "Opština Čačak", "fills");
        row("similar name", "Opština Čajetina", "partner", "Opština Čajetina", "fills");
        row("a letter misread", "Opština Čajetlna", "partner", "Opština Čajetina", "fills");
        row("legal form", "ĐORĐEVIĆ I SINOVI DOO\nKralja Petra 12, 32000 Čačak", "partner", "Đorđević i sinovi d.o.o.", "fills");
        row("PIB on a page poorly read", "PIB: 101234569", "partner", "Opština Čačak", "shown", 0.6);
        row("e-mail in text", "Pišite nam: Kabinet@MFIN.gov.rs", "partner", "Ministarstvo finansija", "fills");
        row("unknown sender", "PREDUZEĆE MIKRO d.o.o.\nPIB: 100123145", "partner", "PREDUZEĆE MIKRO d.o.o.", "shown");
        row("Broj", "Broj: 404-12/2026-03", "broj", "404-12/2026-03", "fills");
        row("Број", "Број: 404-12/2026-03", "broj", "404-12/2026-03", "fills");
        row("Naš broj", "Naš broj: 12/26", "broj", "12/26", "high");
        row("Br. with date", "Br. 12/26 od 3.12.2026", "broj", "12/26", "fills");
        row("Vaš broj", "Vaš broj: 55/26", "broj", "", "none");
        row("Vaš and Naš", "Vaš broj: 55/26\nNaš broj: 12/26", "broj", "12/26", "high");
        row("gazette", "(„Sl. glasnik RS”, br. 72/2009)", "broj", "", "none");
        row("registration number", "Matični broj: 07123456", "broj", "", "none");
        row("receipt stamp's number", "Delovodni broj: 41/26", "broj", "", "none");
        row("in a sentence", "U vezi sa predmetom broj 7/26 javljamo", "broj", "7/26", "shown");
        row("OCR unsure", "Broj: 404-12/2026-03", "broj", "404-12/2026-03", "shown", 0.6);
        row("OCR sure", "Broj: 404-12/2026-03", "broj", "404-12/2026-03", "fills", 0.95);
        row("Datum", "Datum: 3. 12. 2026.", "datum", "03.12.2026", "high");
        row("place and date", "Čačak, 3.12.2026. godine", "datum", "03.12.2026", "fills");
        row("month name", "Datum: 3. decembra 2026.", "datum", "03.12.2026", "high");
        row("Cyrillic month", "Дана 3. децембра 2026.", "datum", "03.12.2026", "high");
        row("date with the number", "Br. 12/26 od 03.12.2026", "datum", "03.12.2026", "high");
        row("ISO date", "Datum: 2026-12-03", "datum", "03.12.2026", "high");
        row("two-digit year", "Čačak, 3.12.26.", "datum", "03.12.2026", "fills");
        row("bare date", "Rok je 15.12.2026.", "datum", "15.12.2026", "shown");
        row("impossible date", "Datum: 31.02.2026", "datum", "", "none");
        row("impossible then possible", "Datum: 30.02.2026\nČačak, 1.12.2026", "datum", "01.12.2026", "fills");
        row("addressee's date", "Vaš dopis od 1.12.2026", "datum", "", "none");
        row("addressee's number and date", "Veza: Vaš broj 55/26 od 1.12.2026, naš broj 7/26 od 2.12.2026", "datum",
            "02.12.2026", "high");
        row("receipt stamp", "Primljeno: 5.12.2026", "datum", "", "none");
        row("Predmet", "Predmet: Zahtev za izdavanje uverenja", "predmet", "Zahtev za izdavanje uverenja", "high");
        row("Предмет", "Предмет: Захтев за издавање уверења", "predmet", "Zahtev za izdavanje uverenja", "high");
        row("continued", "Predmet: Zahtev za izdavanje uverenja o\nstanju predmeta\n\nPoštovani,", "predmet",
            "Zahtev za izdavanje uverenja o stanju predmeta", "high");
        row("not continued", "Predmet: Obaveštenje\nPoštovani,", "predmet", "Obaveštenje", "high");
        row("hyphenated", "Predmet: Zahtev za iz-\ndavanje dozvole", "predmet", "Zahtev za izdavanje dozvole", "high");
        row("title", "REŠENJE\nO upisu u registar", "vrsta", "Rešenje", "fills");
        row("title in Cyrillic", "РЕШЕЊЕ", "vrsta", "Rešenje", "fills");
        row("title with more words", "ZAHTEV ZA IZDAVANJE UVERENJA", "vrsta", "Zahtev", "fills");
        row("two-word type", "Poziv za sednicu", "vrsta", "Poziv za sednicu", "fills");
        row("declined in the subject", "Predmet: Dostava fakture", "vrsta", "Faktura", "shown");
    }
    void text()
    {
        QFETCH(QString, text);
        QFETCH(double, ocr);
        checkBest(TextDocument(text, ocr));
    }

    void mail_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        addColumns();
        QTest::newRow("address") << "Pisarnica" << "pisarnica@cacak.rs" << "" << "Poštovani," << "partner" << "Opština Čačak" << "high";
        QTest::newRow("domain") << "" << "neko@eds.rs" << "" << "Poštovani," << "partner"
                                << "Elektrodistribucija Srbije d.o.o. Beograd" << "shown";
        QTest::newRow("shared domain") << "" << "neko@cacak.rs" << "" << "x" << "partner" << "" << "none";
        QTest::newRow("sender's name") << "Ministarstvo finansija" << "mf@gmail.com" << "" << "x" << "partner"
                                       << "Ministarstvo finansija" << "fills";
        QTest::newRow("address and PIB") << "" << "pisarnica@cacak.rs" << "" << "PIB 101234569" << "partner"
                                         << "Opština Čačak" << "high";
        QTest::newRow("marks") << "" << "a@b.rs" << "Re: Fwd: Odg: Ponuda za radove" << "x" << "predmet" << "Ponuda za radove" << "fills";
        QTest::newRow("Cyrillic subject") << "" << "a@b.rs" << "Одг: Захтев" << "x" << "predmet" << "Zahtev" << "fills";
        QTest::newRow("FW RE") << "" << "a@b.rs" << "FW: RE: Zapisnik" << "x" << "predmet" << "Zapisnik" << "fills";
        QTest::newRow("Predmet over the mail's") << "" << "a@b.rs" << "Re: Ponuda" << "Predmet: Ponuda za radove"
                                                 << "predmet" << "Ponuda za radove" << "high";
        QTest::newRow("sender's day") << "" << "a@b.rs" << "" << "x" << "datum" << "03.12.2026" << "shown";
        QTest::newRow("quoted reply") << "" << "a@b.rs" << "" << "Hvala.\n> Naš broj: 5/26" << "broj" << "" << "none";
        QTest::newRow("kind in the subject") << "" << "a@b.rs" << "Fwd: Faktura 12/26" << "x" << "vrsta" << "Faktura" << "shown";
        QTest::newRow("date in the body") << "" << "a@b.rs" << "" << "Datum: 1.12.2026" << "datum" << "01.12.2026" << "high";
    }
    void mail()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        checkBest(MailDocument(name, address, subject, QDateTime(QDate(2026, 12, 3), QTime(0, 30), QTimeZone(3600)), body));
    }

    // The reader puts an e-mail's attachment after its body: the attachment's first lines are a letterhead too.
    void mailWithAttachedLetter()
    {
        TIntakeDocument document = MailDocument(QString(), QStringLiteral("neko@gmail.com"), QStringLiteral("Dopis"),
                                                QDateTime(), QStringLiteral("Poštovani,\nu prilogu je dopis.\n\n\n\n\n\n\n\n\n\n\n\n\n"));
        document.Pages << TIntakePage{QStringLiteral("OPŠTINA ČAJETINA\nČajetina, 2.12.2026."), TTextSource::TextLayer, 1.0};
        const TIntakeProposals proposals = ProposeIntake(document, TestIntakePartners(), TestIntakeItemTypes());
        QCOMPARE(proposals.Best(TProposalField::Partner)->Value, QStringLiteral("Opština Čajetina"));
        QVERIFY(proposals.Best(TProposalField::Partner)->Fills());
        QCOMPARE(proposals.Best(TProposalField::ItemDate)->Source, QStringLiteral("mesto i datum u zaglavlju"));
    }

    void newPartner_data()
    {
        QTest::addColumn<QString>("senderName");
        QTest::addColumn<QString>("senderAddress");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("hint"); // name, PIB, e-mail, address
        QTest::newRow("letterhead") << "" << "" << "PREDUZEĆE MIKRO d.o.o.\nKralja Petra 12, 32000 Čačak\nPIB: 100123145\n"
                                                  "E-mail: Office@mikro.rs\n\nPoštovani,"
                                    << QStringList{"PREDUZEĆE MIKRO d.o.o.", "100123145", "office@mikro.rs",
                                                   "Kralja Petra 12, 32000 Čačak"};
        QTest::newRow("e-mail") << "Mikro Servis" << "info@mikro.rs" << "Adresa: Bulevar oslobođenja 7, Novi Sad"
                                << QStringList{"Mikro Servis", "", "info@mikro.rs", "Bulevar oslobođenja 7, Novi Sad"};
    }
    void newPartner()
    {
        QFETCH(QString, senderName);
        QFETCH(QString, senderAddress);
        QFETCH(QString, text);
        QFETCH(QStringList, hint);
        TIntakeDocument document = TextDocument(text);
        if (!senderAddress.isEmpty())
            document.Mail = TMailHeader{senderName, senderAddress, QString(), QDateTime()};
        const TIntakeProposals proposals = ProposeIntake(document, TestIntakePartners(), TestIntakeItemTypes());
        QVERIFY(proposals.NewPartner.has_value());
        QCOMPARE(QStringList({proposals.NewPartner->Name, proposals.NewPartner->Pib, proposals.NewPartner->Email,
                              proposals.NewPartner->Address}),
                 hint);
        QCOMPARE(proposals.Best(TProposalField::Partner)->PartnerID, 0);
        QCOMPARE(proposals.Best(TProposalField::Partner)->Value, hint.first());
    }

    void knownPartner()
    {
        const TIntakeProposals known =
            ProposeIntake(TextDocument(QStringLiteral("PIB: 101234569")), TestIntakePartners(), {});
        QVERIFY(!known.NewPartner);
        QCOMPARE(known.Best(TProposalField::Partner)->PartnerID, 1);
        QCOMPARE(known.Best(TProposalField::Partner)->Source, QStringLiteral("PIB 101234569 u tekstu"));
    }

    void pib_data()
    {
        QTest::addColumn<QString>("pib");
        QTest::addColumn<bool>("valid");
        QTest::newRow("valid") << "101234569" << true;
        QTest::newRow("valid, check 2") << "101134702" << true;
        QTest::newRow("check digit off") << "101234560" << false;
        QTest::newRow("eight digits") << "10123456" << false;
        QTest::newRow("a letter") << "10123456a" << false;
    }
    void pib()
    {
        QFETCH(QString, pib);
        QTEST(PibIsValid(pib), "valid");
    }

    void fieldNames()
    {
        QStringList names;
        for (auto f : {TProposalField::Partner, TProposalField::ItemNumber, TProposalField::ItemDate, TProposalField::Subject,
                       TProposalField::ItemType})
            names << ProposalFieldName(f);
        QCOMPARE(names, QStringList({"partner", "broj", "datum", "predmet", "vrsta"}));
    }
};

QTEST_MAIN(TestIntakeProposals)
#include "tst_intakeproposals.moc"
