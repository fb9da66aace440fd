#pragma once
// Documents as intake reads them, for the proposals' tests: a page of text
// (typed, or read by OCR at a confidence), an e-mail's header and body, and
// a small partner list with similar names and valid PIBs.

#include "data/IntakeDocument.h"
#include "data/IntakeProposals.h"

inline TIntakeDocument TextDocument(const QString &text, double ocrConfidence = 1.0)
{
    TIntakeDocument document;
    document.Kind = TIntakeKind::Pdf;
    document.Pages << TIntakePage{text, ocrConfidence < 1.0 ? TTextSource::Ocr : TTextSource::TextLayer, ocrConfidence};
    return document;
}

inline TIntakeDocument MailDocument(const QString &senderName, const QString &senderAddress, const QString &subject,
                                    const QDateTime &sent, const QString &body)
{
    TIntakeDocument document;
    document.Kind = TIntakeKind::Mail;
    document.Pages << TIntakePage{body, TTextSource::Mail, 1.0};
    document.Mail = TMailHeader{senderName, senderAddress, subject, sent};
    return document;
}

inline QList<TIntakePartner> TestIntakePartners()
{
    return {{1, QStringLiteral("Opština Čačak"), QStringLiteral("101234569"), QStringLiteral("pisarnica@cacak.rs")},
            {2, QStringLiteral("Opština Čajetina"), QStringLiteral("100012349"), QStringLiteral("opstina@cajetina.org.rs")},
            {3, QStringLiteral("Ministarstvo finansija"), QStringLiteral("107654324"), QStringLiteral("kabinet@mfin.gov.rs")},
            {4, QStringLiteral("Elektrodistribucija Srbije d.o.o. Beograd"), QStringLiteral("111222339"),
             QStringLiteral("office@eds.rs; reklamacije@eds.rs")},
            {5, QStringLiteral("JKP Vodovod Čačak"), QString(), QStringLiteral("vodovod@cacak.rs")},
            {6, QStringLiteral("Đorđević i sinovi d.o.o."), QStringLiteral("100512342"), QString()}};
}

inline QStringList TestIntakeItemTypes()
{
    return {QStringLiteral("Rešenje"), QStringLiteral("Zahtev"), QStringLiteral("Faktura"), QStringLiteral("Dopis"),
            QStringLiteral("Žalba"), QStringLiteral("Obaveštenje"), QStringLiteral("Poziv za sednicu")};
}
