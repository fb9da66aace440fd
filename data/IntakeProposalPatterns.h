#pragma once
// What a Serbian letter says of itself: its number ("Broj: 404-12/2026-03",
// "Naš broj:", never "Vaš broj"), its date ("Datum: 3. 12. 2026.",
// "03.12.2026", "3. decembra 2026."), its subject ("Predmet: …") and its
// kind, named in its title. Each list is best first, each value once.

#include "data/IntakeProposalText.h"
#include "data/IntakeProposals.h"

#include <QList>
#include <QStringList>
#include <optional>

QList<TProposal> ProposeNumbers(const TIntakeText &text);
QList<TProposal> ProposeDates(const TIntakeText &text, const std::optional<TMailHeader> &mail);
QList<TProposal> ProposeSubjects(const TIntakeText &text, const std::optional<TMailHeader> &mail);
QList<TProposal> ProposeItemTypes(const TIntakeText &text, const std::optional<TMailHeader> &mail,
                                 const QStringList &itemTypes);

// The subject of an e-mail without its reply and forward marks ("Re:", "Fwd:", "FW:", "Odg:"...).
QString MailSubjectWithoutMarks(const QString &subject);
