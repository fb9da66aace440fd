#pragma once
// The partners' names as folded words, each weighted by how rare it is among
// them, for finding which partner a line of a letter names. "Opština" names
// many partners and weighs little; "Čajetina" names one and weighs much.

#include "data/IntakeProposals.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// Legal forms and small words: they never pick a partner by themselves.
bool IsNameStopWord(const QString &word);
// Organisations' words ("doo", "opstina", "ministarstvo"...): a line with one names an organisation.
bool IsOrganisationWord(const QString &word);

class TPartnerNameIndex
{
public:
    // Reads every partner's name once, keeping those sharing a distinctive
    // word with the document (its words folded), and how many names hold
    // each word.
    TPartnerNameIndex(const QList<TIntakePartner> &partners, const QSet<QString> &documentWords);

    struct TMatch
    {
        qsizetype Partner = 0; // index into the partners given
        double Score = 0.0;    // 0..1
    };
    // The kept partners sharing a distinctive word with words (folded),
    // scored by how much of the partner's name (by weight) the words hold,
    // a word one letter off counting for less, and a little by how much of
    // the words the name covers. Unordered.
    QList<TMatch> Match(const QStringList &words) const;

private:
    struct TName
    {
        qsizetype Partner = 0;
        QStringList Words;
        QList<double> Weights;
        double Total = 0.0;
    };
    std::vector<TName> m_names;
    QHash<QString, QList<qsizetype>> m_byWord; // into m_names
};
