#include "PartnerLookup.h"

#include "SerbianDisplayOrder.h"
#include "SerbianFold.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace {

QString foldTyped(const QString &typed)
{
    return SerbianFold(typed.simplified());
}

// Whether text holds what, first found at from > 0, at the start of a later word.
bool startsLaterWord(const QString &text, const QString &what, qsizetype from)
{
    for (qsizetype at = from; at > 0; at = text.indexOf(what, at + 1)) {
        if (!text.at(at - 1).isLetterOrNumber())
            return true;
    }
    return false;
}

} // namespace

void TPartnerLookup::Load(TZConnection &connection)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT partnerid, name, city FROM partner WHERE active = ? ORDER BY %1, partnerid")
                                      .arg(connection.TextOrder(QStringLiteral("name"))),
                                  {QStringLiteral("y")});
    std::vector<std::pair<QByteArray, TEntry>> keyed;
    const TScript script = InterfaceScript();
    while (q->next()) {
        TEntry e{{q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString()}, {}};
        e.Folded = SerbianFold(e.Partner.Name.simplified());
        keyed.emplace_back(SerbianDisplayKey(e.Partner.Name, script), std::move(e));
    }
    // The same names keep the SELECT's order, by id.
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<TEntry> partners;
    partners.reserve(keyed.size());
    for (auto &[key, e] : keyed)
        partners.push_back(std::move(e));
    m_partners = std::move(partners);
    m_loaded = true;
}

QList<TPartnerChoice> TPartnerLookup::Filter(const QString &typed, int limit) const
{
    const QString folded = foldTyped(typed);
    if (folded.isEmpty() || limit <= 0)
        return {};
    QList<TPartnerChoice> starts, words, inside;
    for (const TEntry &e : m_partners) {
        const qsizetype at = e.Folded.indexOf(folded);
        if (at < 0)
            continue;
        if (at == 0) {
            starts << e.Partner;
            // Nothing can come before a full first group.
            if (starts.size() >= limit)
                break;
        } else if (startsLaterWord(e.Folded, folded, at)) {
            if (words.size() + starts.size() < limit)
                words << e.Partner;
        } else if (inside.size() + words.size() + starts.size() < limit) {
            inside << e.Partner;
        }
    }
    starts << words << inside;
    starts.resize(std::min<qsizetype>(starts.size(), limit));
    return starts;
}

QList<TPartnerChoice> TPartnerLookup::Named(const QString &typed) const
{
    const QString folded = foldTyped(typed);
    QList<TPartnerChoice> found;
    if (folded.isEmpty())
        return found;
    for (const TEntry &e : m_partners) {
        if (e.Folded == folded)
            found << e.Partner;
    }
    return found;
}
