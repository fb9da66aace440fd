#include "IntakeProposalNames.h"

#include "SerbianFold.h"
#include "data/IntakeProposalText.h"

#include <QSet>
#include <cmath>

namespace {

// A word in more names than this says nothing about which partner it is.
constexpr qsizetype CommonWord = 1000;

// OCR's usual slip: one letter changed, missing or added.
bool withinOneEdit(const QString &a, const QString &b)
{
    const qsizetype la = a.size(), lb = b.size();
    if (std::abs(la - lb) > 1)
        return false;
    qsizetype i = 0;
    while (i < la && i < lb && a.at(i) == b.at(i))
        ++i;
    if (la == lb)
        return QStringView(a).mid(i + 1) == QStringView(b).mid(i + 1);
    return la < lb ? QStringView(a).mid(i) == QStringView(b).mid(i + 1) : QStringView(a).mid(i + 1) == QStringView(b).mid(i);
}

} // namespace

bool IsNameStopWord(const QString &word)
{
    static const QSet<QString> stop{"doo", "ad", "jp", "jkp", "pr", "szr", "str", "od", "za", "i", "u", "na", "sa",
                                    "o", "iz", "rs", "republika", "srbija", "srbije"};
    return word.size() < 2 || stop.contains(word);
}

bool IsOrganisationWord(const QString &word)
{
    static const QSet<QString> organisation{
        "doo", "ad", "jp", "jkp", "pr", "szr", "opstina", "grad", "ministarstvo", "sud", "uprava", "zavod",
        "agencija", "fond", "skola", "preduzece", "drustvo", "ustanova", "kompanija", "banka", "fakultet",
        "univerzitet", "institut", "savez", "udruzenje", "komora", "direkcija", "sekretarijat", "kancelarija",
        "centar", "bolnica", "klinika", "posta", "opstinska", "gradska", "javno", "javni"};
    return organisation.contains(word);
}

TPartnerNameIndex::TPartnerNameIndex(const QList<TIntakePartner> &partners)
{
    m_names.resize(size_t(partners.size()));
    for (qsizetype i = 0; i < partners.size(); ++i) {
        QStringList words = FoldedWords(SerbianFold(partners.at(i).Name));
        words.removeDuplicates();
        for (const QString &word : words)
            if (!IsNameStopWord(word))
                m_byWord[word] << i;
        m_names[size_t(i)].Words = std::move(words);
    }
    for (TName &name : m_names) {
        for (const QString &word : name.Words) {
            const auto found = m_byWord.constFind(word);
            const double weight = found == m_byWord.cend() ? 0.05 : 1.0 / (1.0 + std::log(double(found->size())));
            name.Weights << weight;
            name.Total += weight;
        }
    }
}

QList<TPartnerNameIndex::TMatch> TPartnerNameIndex::Match(const QStringList &words) const
{
    QSet<qsizetype> candidates;
    QSet<QString> significant;
    for (const QString &word : words) {
        if (IsNameStopWord(word))
            continue;
        significant.insert(word);
        const auto found = m_byWord.constFind(word);
        if (found != m_byWord.cend() && found->size() <= CommonWord)
            for (qsizetype partner : *found)
                candidates.insert(partner);
    }
    QList<TMatch> matches;
    for (qsizetype partner : candidates) {
        const TName &name = m_names[size_t(partner)];
        double held = 0.0;
        QSet<QString> covered;
        for (qsizetype i = 0; i < name.Words.size(); ++i) {
            const QString &word = name.Words.at(i);
            if (significant.contains(word) || (IsNameStopWord(word) && words.contains(word))) {
                held += name.Weights.at(i);
                covered.insert(word);
                continue;
            }
            if (word.size() < 5)
                continue;
            for (const QString &other : significant)
                if (other.size() >= 5 && withinOneEdit(word, other)) {
                    held += 0.8 * name.Weights.at(i);
                    covered.insert(other);
                    break;
                }
        }
        covered.intersect(significant);
        const double coverage = significant.isEmpty() ? 0.0 : double(covered.size()) / significant.size();
        matches << TMatch{partner, held / name.Total * (0.8 + 0.2 * coverage)};
    }
    return matches;
}
