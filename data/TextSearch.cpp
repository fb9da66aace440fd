#include "TextSearch.h"

#include "SerbianFold.h"
#include "SubjectWords.h"
#include "ZConnection.h"

#include <QSqlQuery>

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
}

// Whether a word of folded (a folded name) begins with word; cheaper than
// splitting, as every partner's name is looked at on each search.
bool hasWordStarting(const QString &folded, const QString &word)
{
    for (qsizetype at = folded.indexOf(word); at >= 0; at = folded.indexOf(word, at + 1))
        if (at == 0 || !isWordCharacter(folded.at(at - 1)))
            return true;
    return false;
}

// One typed word and where, besides the word tables, it is found: the
// partners and the types whose names have a word beginning with it.
struct TTerm
{
    QString Word;
    QVariantList PartnerIDs;
    QVariantList TypeNames;
};

struct TTerms
{
    QList<TTerm> Terms;
    qsizetype Lead = 0;
    QString Whole; // the typed text as a number's beginning; empty when not used
};

int cappedCount(TZConnection &connection, const QString &table, const QString &word)
{
    auto count = connection.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM %1 "
                                                     "WHERE word >= ? AND word < ? LIMIT 1000) AS c")
                                          .arg(table),
                                      {word, WordRangeEnd(word)});
    return count->next() ? count->value(0).toInt() : 0;
}

TTerms readTerms(const QString &typed, TZConnection &connection)
{
    TTerms terms;
    const QStringList words = SubjectWords(typed);
    if (words.isEmpty())
        return terms;
    for (const QString &word : words)
        terms.Terms << TTerm{word, {}, {}};
    // The register lists are small: read once, matched here where folding is.
    auto partners = connection.OpenQuery(QStringLiteral("SELECT partnerid, name FROM partner"));
    while (partners->next()) {
        const QString name = SerbianFold(partners->value(1).toString());
        for (TTerm &term : terms.Terms)
            if (hasWordStarting(name, term.Word))
                term.PartnerIDs << partners->value(0).toLongLong();
    }
    auto types = connection.OpenQuery(QStringLiteral("SELECT name FROM itemtype"));
    while (types->next()) {
        const QString name = types->value(0).toString();
        for (TTerm &term : terms.Terms)
            if (hasWordStarting(SerbianFold(name), term.Word))
                term.TypeNames << name;
    }
    // The rarest word in the texts and subjects leads; the others are checked per item.
    int fewest = -1;
    for (qsizetype i = 0; i < terms.Terms.size(); ++i) {
        const QString &word = terms.Terms[i].Word;
        const int count = cappedCount(connection, QStringLiteral("documentword"), word)
                          + cappedCount(connection, QStringLiteral("subjectword"), word)
                          + int(terms.Terms[i].PartnerIDs.size() + terms.Terms[i].TypeNames.size());
        if (fewest < 0 || count < fewest || (count == fewest && word.size() > terms.Terms[terms.Lead].Word.size())) {
            fewest = count;
            terms.Lead = i;
        }
    }
    const QString whole = typed.trimmed();
    if (words.size() > 1 && !whole.contains(u'%') && !whole.contains(u'_'))
        terms.Whole = whole;
    return terms;
}

QString placeholders(qsizetype count)
{
    QString marks = QStringLiteral("?");
    for (qsizetype i = 1; i < count; ++i)
        marks += QStringLiteral(", ?");
    return marks;
}

// The conditions finding term on the item alias item, one per source.
QStringList termSources(const TTerm &term, const QString &item, QVariantList &params, TZConnection &connection)
{
    QStringList sources;
    for (const char *table : {"subjectword", "documentword"}) {
        sources << QStringLiteral("EXISTS (SELECT 1 FROM %1 AS w WHERE w.ledgeritemid = %2.ledgeritemid "
                                  "AND w.word >= ? AND w.word < ?)")
                       .arg(QLatin1String(table), item);
        params << term.Word << WordRangeEnd(term.Word);
    }
    if (!term.PartnerIDs.isEmpty()) {
        sources << item + QStringLiteral(".partnerid IN (") + placeholders(term.PartnerIDs.size()) + u')';
        params << term.PartnerIDs;
    }
    if (!term.TypeNames.isEmpty()) {
        sources << item + QStringLiteral(".itemtype IN (") + placeholders(term.TypeNames.size()) + u')';
        params << term.TypeNames;
    }
    sources << connection.PrefixCondition(item + QStringLiteral(".ledgernumber"), term.Word, params);
    sources << connection.PrefixCondition(item + QStringLiteral(".itemnumber"), term.Word, params);
    return sources;
}

// The lead word's items, each source through its own index.
QString leadItems(const TTerms &terms, QVariantList &params, TZConnection &connection)
{
    const TTerm &lead = terms.Terms[terms.Lead];
    QStringList selects;
    for (const char *table : {"subjectword", "documentword"}) {
        selects << QStringLiteral("SELECT ledgeritemid FROM %1 WHERE word >= ? AND word < ?").arg(QLatin1String(table));
        params << lead.Word << WordRangeEnd(lead.Word);
    }
    if (!lead.PartnerIDs.isEmpty()) {
        selects << QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE partnerid IN (%1)")
                       .arg(placeholders(lead.PartnerIDs.size()));
        params << lead.PartnerIDs;
    }
    if (!lead.TypeNames.isEmpty()) {
        selects << QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE itemtype IN (%1)")
                       .arg(placeholders(lead.TypeNames.size()));
        params << lead.TypeNames;
    }
    const auto numberBegins = [&](const QString &typed) {
        for (const char *column : {"ledgernumber", "itemnumber"})
            selects << QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE ")
                           + connection.PrefixCondition(QLatin1String(column), typed, params);
    };
    numberBegins(lead.Word);
    if (!terms.Whole.isEmpty())
        numberBegins(terms.Whole);
    // A derived table: MariaDB joins a UNION in IN only through one.
    return QStringLiteral("l.ledgeritemid IN (SELECT t.ledgeritemid FROM (") + selects.join(QStringLiteral(" UNION "))
           + QStringLiteral(") AS t)");
}

} // namespace

TTextSearch TextSearch(const QString &typed, TZConnection &connection, QVariantList &params, QVariantList &orderParams)
{
    const TTerms terms = readTerms(typed, connection);
    if (terms.Terms.isEmpty())
        return {};
    TTextSearch search;
    search.Condition = leadItems(terms, params, connection);
    QStringList others;
    for (qsizetype i = 0; i < terms.Terms.size(); ++i)
        if (i != terms.Lead)
            others << u'(' + termSources(terms.Terms[i], QStringLiteral("l"), params, connection).join(QStringLiteral(" OR "))
                          + u')';
    if (!others.isEmpty()) {
        QString rest = others.join(QStringLiteral(" AND "));
        if (!terms.Whole.isEmpty())
            rest = u'(' + rest + QStringLiteral(") OR ")
                   + connection.PrefixCondition(QStringLiteral("l.ledgernumber"), terms.Whole, params)
                   + QStringLiteral(" OR ") + connection.PrefixCondition(QStringLiteral("l.itemnumber"), terms.Whole, params);
        search.Condition += QStringLiteral(" AND (") + rest + u')';
    }
    // Per word, in termSources' order: subject 3, text 3, partner 2, type 1, numbers 1 each.
    QStringList scores;
    for (const TTerm &term : terms.Terms) {
        const QStringList sources = termSources(term, QStringLiteral("l"), orderParams, connection);
        for (qsizetype i = 0; i < sources.size(); ++i) {
            const int weight = i < 2 ? 3 : i == 2 && !term.PartnerIDs.isEmpty() ? 2 : 1;
            scores << QStringLiteral("CASE WHEN %1 THEN %2 ELSE 0 END").arg(sources[i]).arg(weight);
        }
    }
    search.Order =
        u'(' + scores.join(QStringLiteral(" + ")) + QStringLiteral(") DESC, l.ledgerdatetime DESC, l.ledgeritemid DESC");
    return search;
}

QString MatchingPassage(const QString &text, const QString &typed, int width)
{
    const QStringList words = SubjectWords(typed);
    const QString flat = text.simplified();
    if (words.isEmpty() || flat.isEmpty())
        return {};
    // The first word of the text that a typed word begins.
    qsizetype hit = -1;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= flat.size() && hit < 0; ++i) {
        const bool inWord = i < flat.size() && isWordCharacter(flat[i]);
        if (inWord && start < 0)
            start = i;
        if (!inWord && start >= 0) {
            const QString word = SerbianFold(QStringView(flat).mid(start, i - start));
            if (std::any_of(words.cbegin(), words.cend(), [&](const QString &w) { return word.startsWith(w); }))
                hit = start;
            start = -1;
        }
    }
    if (hit < 0)
        return {};
    // A third of the passage before the hit, the rest after; cut at blanks.
    qsizetype from = std::max<qsizetype>(0, hit - width / 3);
    qsizetype to = std::min(flat.size(), from + width);
    from = std::max<qsizetype>(0, std::min(from, to - width));
    if (from > 0) {
        const qsizetype blank = flat.indexOf(u' ', from - 1);
        from = blank >= 0 && blank < hit ? blank + 1 : from;
    }
    if (to < flat.size()) {
        const qsizetype blank = flat.lastIndexOf(u' ', to);
        to = blank > hit ? blank : to;
    }
    QString passage = flat.mid(from, to - from);
    if (from > 0)
        passage.prepend(u'…');
    if (to < flat.size())
        passage.append(u'…');
    return passage;
}
