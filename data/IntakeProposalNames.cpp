#include "IntakeProposalNames.h"

#include "SerbianFold.h"
#include "data/IntakeProposalText.h"

#include <QSet>
#include <algorithm>
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
    // Looked up for every word of every partner's name: a short list compared, no hashing.
    static const QStringView stop[] = {u"doo", u"ad", u"jp", u"jkp", u"pr", u"szr", u"str", u"od", u"za", u"na",
                                       u"sa", u"iz", u"rs", u"republika", u"srbija", u"srbije"};
    if (word.size() < 2)
        return true;
    if (word.size() > 9)
        return false;
    return std::any_of(std::begin(stop), std::end(stop), [&](QStringView s) { return s == word; });
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

TPartnerNameIndex::TPartnerNameIndex(const QList<TIntakePartner> &partners, const QSet<QString> &documentWords)
{
    // One look-up per word of every name: how many names hold it, and whether the document does.
    struct TWord
    {
        int Names = 0;
        bool InDocument = false;
    };
    QHash<QString, TWord> known;
    known.reserve(partners.size() * 2);
    for (const QString &word : documentWords)
        known[word].InDocument = true;
    for (qsizetype i = 0; i < partners.size(); ++i) {
        const QStringList all = FoldedWords(SerbianFold(partners.at(i).Name));
        QStringList words;
        bool shared = false;
        for (const QString &word : all) {
            // A name has a few words: a list's own search is quicker than a set.
            if (words.contains(word))
                continue;
            words << word;
            if (IsNameStopWord(word))
                continue;
            TWord &counted = known[word];
            ++counted.Names;
            shared = shared || counted.InDocument;
        }
        if (shared)
            m_names.push_back(TName{i, std::move(words), {}, 0.0});
    }
    for (qsizetype n = 0; n < qsizetype(m_names.size()); ++n) {
        TName &name = m_names[size_t(n)];
        for (const QString &word : name.Words) {
            const TWord counted = known.value(word);
            const double weight = counted.Names == 0 ? 0.05 : 1.0 / (1.0 + std::log(double(counted.Names)));
            name.Weights << weight;
            name.Total += weight;
            if (counted.Names > 0 && counted.Names <= CommonWord && counted.InDocument)
                m_byWord[word] << n;
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
        if (found != m_byWord.cend())
            for (qsizetype candidate : *found)
                candidates.insert(candidate);
    }
    QList<TMatch> matches;
    for (qsizetype candidate : candidates) {
        const TName &name = m_names[size_t(candidate)];
        double held = 0.0;
        // Words counted alike: two common words of a name, one of them missing, are half a match.
        double heldWords = 0.0;
        int nameWords = 0;
        QSet<QString> covered;
        for (qsizetype i = 0; i < name.Words.size(); ++i) {
            const QString &word = name.Words.at(i);
            const bool stop = IsNameStopWord(word);
            nameWords += stop ? 0 : 1;
            if (significant.contains(word) || (stop && words.contains(word))) {
                held += name.Weights.at(i);
                heldWords += stop ? 0.0 : 1.0;
                covered.insert(word);
                continue;
            }
            if (word.size() < 5)
                continue;
            for (const QString &other : significant)
                if (other.size() >= 5 && withinOneEdit(word, other)) {
                    held += 0.8 * name.Weights.at(i);
                    heldWords += 1.0;
                    covered.insert(other);
                    break;
                }
        }
        covered.intersect(significant);
        const double coverage = significant.isEmpty() ? 0.0 : double(covered.size()) / significant.size();
        if (name.Total > 0 && nameWords > 0)
            matches << TMatch{name.Partner,
                              held / name.Total * std::sqrt(heldWords / nameWords) * (0.8 + 0.2 * coverage)};
    }
    return matches;
}
