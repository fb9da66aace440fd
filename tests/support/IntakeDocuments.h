#pragma once
// Documents as intake reads them and the proposals made from them, put
// together by hand: the tests of registering and of the intake window need
// neither the reader nor the proposer.

#include "data/IntakeDocument.h"
#include "data/IntakeProposals.h"

#include <QDate>

// A one-page document; for TIntakeKind::Mail sourcePath should hold the .eml.
inline TIntakeDocument IntakeTestDocument(TIntakeKind kind, const QString &text, const QByteArray &scanPdf,
                                          const QStringList &qrCodes = {}, const QString &sourcePath = {})
{
    TIntakeDocument document;
    document.SourcePath = sourcePath.isEmpty() ? QStringLiteral("/tmp/dopis.pdf") : sourcePath;
    document.Kind = kind;
    document.Sha256 = QStringLiteral("%1").arg(qHash(text), 64, 16, QLatin1Char('0'));
    document.Pages << TIntakePage{text, kind == TIntakeKind::Mail ? TTextSource::Mail : TTextSource::TextLayer, 1.0};
    document.QrCodes = qrCodes;
    document.ScanPdf = scanPdf;
    return document;
}

// The letter of Opština Čačak: partner by PIB 0.98, number 0.9, date 0.8,
// subject 0.6 (shown only), type "Rešenje" 0.5 (shown only).
inline TIntakeProposals IntakeTestProposals(qint64 partnerID)
{
    TIntakeProposals p;
    TProposal partner{TProposalField::Partner, QStringLiteral("Opština Čačak"), partnerID, {},
                      QStringLiteral("PIB u tekstu"), 0.98};
    TProposal number{TProposalField::ItemNumber, QStringLiteral("404-12/2026-03"), 0, {},
                     QStringLiteral("„Broj:“ u tekstu"), 0.9};
    TProposal date{TProposalField::ItemDate, QStringLiteral("03.12.2026"), 0, QDate(2026, 12, 3),
                   QStringLiteral("„Datum:“ u tekstu"), 0.8};
    TProposal subject{TProposalField::Subject, QStringLiteral("Zahtev za dopunu"), 0, {},
                      QStringLiteral("prvi red teksta"), 0.6};
    TProposal type{TProposalField::ItemType, QStringLiteral("Rešenje"), 0, {}, QStringLiteral("reč u tekstu"), 0.5};
    p.Proposals = {partner, number, date, subject, type};
    return p;
}
