#pragma once
// The partner a document comes from: by a PIB found in its text, by the
// e-mail address it came from or names, or by a name in its letterhead
// or the sender's name, matched against the partners' folded names.

#include "data/IntakeProposalText.h"
#include "data/IntakeProposals.h"

#include <QList>
#include <QString>
#include <optional>

// A Serbian tax number: nine digits, the last an ISO 7064 MOD 11,10 check digit.
bool PibIsValid(QStringView pib);

struct TFoundPib
{
    QString Pib;
    bool Labelled = false; // "PIB: 101234569", "ПИБ 101234569"
    double Factor = 1.0;
};
// The valid PIBs of the text, labelled ones first, each once.
QList<TFoundPib> FindPibs(const TIntakeText &text);

struct TFoundEmail
{
    QString Address; // lower case
    double Factor = 1.0;
};
// The e-mail addresses written in the text, each once.
QList<TFoundEmail> FindEmails(const TIntakeText &text);

// The partner proposals, best first, at most a few; one per partner, its
// sources joined and agreeing sources raising its confidence.
QList<TProposal> ProposePartners(const TIntakeText &text, const std::optional<TMailHeader> &mail,
                                 const QList<TIntakePartner> &partners);

// What "Novi partner…" is filled with, read from the text and the header;
// nullopt when nothing was found.
std::optional<TNewPartnerHint> NewPartnerHint(const TIntakeText &text, const std::optional<TMailHeader> &mail);
