#pragma once
// What intake proposes for a new incoming item, read from a document's text
// and its e-mail header: never filled in silently. Each proposal names its
// source and its confidence; a field is filled only from a proposal at or
// above IntakeThreshold, the others are just shown for the clerk to take.
// Pure: the partners and item types are handed in, nothing is read here.

#include "data/IntakeDocument.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

inline constexpr double IntakeThreshold = 0.75;

enum class TProposalField
{
    Partner,
    ItemNumber, // the sender's document number ("Broj: 404-12/2026-03")
    ItemDate,   // the sender's date
    Subject,    // "Predmet: …" or the e-mail's subject
    ItemType,   // document type, one of the item types
};

struct TProposal
{
    TProposalField Field = TProposalField::Subject;
    QString Value;           // as the field would take it; a date as dd.MM.yyyy
    qint64 PartnerID = 0;    // for Partner: the matched partner, 0 for a new one
    QDate Date;              // for ItemDate
    QString Source;          // for the clerk, e.g. "PIB 101234567 u tekstu", "adresa e-pošte", "tema e-pošte"
    double Confidence = 0.0; // 0..1

    bool Fills() const { return Confidence >= IntakeThreshold; }
};

// A partner as intake matches it.
struct TIntakePartner
{
    qint64 PartnerID = 0;
    QString Name;
    QString Pib;
    QString Email;
};

// When no partner matches: what "Novi partner…" is filled with.
struct TNewPartnerHint
{
    QString Name;
    QString Pib;
    QString Email;
    QString Address;
};

struct TIntakeProposals
{
    // Best first within each field; at most a few per field.
    QList<TProposal> Proposals;
    std::optional<TNewPartnerHint> NewPartner;

    // The best proposal of a field, nullptr when there is none.
    const TProposal *Best(TProposalField field) const
    {
        const TProposal *best = nullptr;
        for (const TProposal &p : Proposals)
            if (p.Field == field && (!best || p.Confidence > best->Confidence))
                best = &p;
        return best;
    }
};

// "partner", "broj", "datum", "predmet", "vrsta": the names the command line
// prints them under.
QString ProposalFieldName(TProposalField field);

TIntakeProposals ProposeIntake(const TIntakeDocument &document, const QList<TIntakePartner> &partners,
                               const QStringList &itemTypes);
