#include "SqlText.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace {

struct Word
{
    QString upper;
    qsizetype begin;
    qsizetype end;
};

// The top-level words of the text (outside literals, quoted names, comments
// and parentheses), with their positions.
std::vector<Word> topLevelWords(const QString &sql)
{
    std::vector<Word> words;
    int depth = 0;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            // Quoted: a doubled quote stays inside.
            ++i;
            while (i < n) {
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c == u'(') {
            ++depth;
            ++i;
        } else if (c == u')') {
            --depth;
            ++i;
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == u'_' || sql[i] == u'$'))
                ++i;
            if (depth == 0)
                words.push_back({sql.mid(start, i - start).toUpper(), start, i});
        } else {
            ++i;
        }
    }
    return words;
}

bool endsCondition(const std::vector<Word> &words, size_t k)
{
    const QString &w = words[k].upper;
    if (w == QLatin1String("HAVING") || w == QLatin1String("LIMIT") || w == QLatin1String("UNION")
        || w == QLatin1String("WINDOW") || w == QLatin1String("FOR"))
        return true;
    if ((w == QLatin1String("GROUP") || w == QLatin1String("ORDER")) && k + 1 < words.size()
        && words[k + 1].upper == QLatin1String("BY"))
        return true;
    return false;
}

} // namespace

QString ChangeSQLCondition(const QString &sql, const QString &condition)
{
    const std::vector<Word> words = topLevelWords(sql);
    const QString cond = condition.trimmed();
    size_t where = words.size();
    for (size_t k = 0; k < words.size(); ++k) {
        if (words[k].upper == QLatin1String("WHERE")) {
            where = k;
            break;
        }
    }
    if (where < words.size()) {
        size_t stop = where + 1;
        while (stop < words.size() && !endsCondition(words, stop))
            ++stop;
        const qsizetype regionStart = words[where].end;
        qsizetype condEnd = stop < words.size() ? words[stop].begin : sql.size();
        // What separated the old condition from the rest (and a final ';') stays.
        while (condEnd > regionStart && (sql[condEnd - 1].isSpace() || sql[condEnd - 1] == u';'))
            --condEnd;
        const QString tail = sql.mid(condEnd);
        if (cond.isEmpty()) {
            qsizetype head = words[where].begin;
            while (head > 0 && sql[head - 1].isSpace())
                --head;
            return sql.left(head) + tail;
        }
        return sql.left(regionStart) + u' ' + cond + tail;
    }
    if (cond.isEmpty())
        return sql;
    // No WHERE yet: place it before the first clause that follows it.
    for (size_t k = 0; k < words.size(); ++k) {
        if (endsCondition(words, k)) {
            qsizetype pos = words[k].begin;
            return sql.left(pos) + QStringLiteral("WHERE ") + cond + u' ' + sql.mid(pos);
        }
    }
    QString head = sql;
    while (!head.isEmpty() && (head.back().isSpace() || head.back() == u';'))
        head.chop(1);
    return head + QStringLiteral(" WHERE ") + cond;
}

bool HasCondition(const QString &sql)
{
    const std::vector<Word> words = topLevelWords(sql);
    return std::any_of(words.begin(), words.end(), [](const Word &w) { return w.upper == QLatin1String("WHERE"); });
}

QString FirstTableOf(const QString &sql)
{
    const std::vector<Word> words = topLevelWords(sql);
    for (size_t k = 0; k < words.size(); ++k) {
        if (words[k].upper != QLatin1String("FROM"))
            continue;
        qsizetype i = words[k].end;
        while (i < sql.size() && sql[i].isSpace())
            ++i;
        if (i < sql.size() && (sql[i] == u'`' || sql[i] == u'"')) {
            const QChar q = sql[i];
            const qsizetype close = sql.indexOf(q, i + 1);
            return sql.mid(i + 1, close - i - 1);
        }
        const qsizetype start = i;
        while (i < sql.size() && (sql[i].isLetterOrNumber() || sql[i] == u'_' || sql[i] == u'.'))
            ++i;
        return sql.mid(start, i - start).section(u'.', -1);
    }
    return {};
}

QString QuoteIdent(const QString &name)
{
    QString n = name;
    n.replace(u'`', QStringLiteral("``"));
    return u'`' + n + u'`';
}

QString FirstTableAlias(const QString &sql)
{
    const std::vector<Word> words = topLevelWords(sql);
    for (size_t k = 0; k < words.size(); ++k) {
        if (words[k].upper != QLatin1String("FROM"))
            continue;
        static const QRegularExpression table(QStringLiteral(
            "\\G\\s*(?:`[^`]+`|\"[^\"]+\"|[\\w$.]+)(?:\\s+(?:AS\\s+)?(`[^`]+`|\"[^\"]+\"|[\\w$]+))?"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = table.match(sql, words[k].end);
        if (!m.hasMatch())
            return {};
        static const QStringList notAlias{"LEFT", "RIGHT", "INNER", "OUTER", "CROSS", "NATURAL", "JOIN", "STRAIGHT_JOIN",
                                          "WHERE", "GROUP", "ORDER", "HAVING", "LIMIT", "UNION", "WINDOW", "FOR",
                                          "INTERSECT", "EXCEPT", "USE", "FORCE", "IGNORE", "INDEXED", "NOT", "ON"};
        QString alias = m.captured(1);
        if (alias.isEmpty() || notAlias.contains(alias.toUpper()))
            return FirstTableOf(sql);
        if (alias.front() == u'`' || alias.front() == u'"')
            alias = alias.mid(1, alias.size() - 2);
        return alias;
    }
    return {};
}

QString OrderedSelect(const QString &sql, const std::vector<TSortTerm> &terms)
{
    const std::vector<Word> words = topLevelWords(sql);
    for (size_t k = 0; k < words.size(); ++k)
        if (endsCondition(words, k) || words[k].upper == QLatin1String("INTERSECT")
            || words[k].upper == QLatin1String("EXCEPT"))
            return {};
    const QString alias = FirstTableAlias(sql);
    if (alias.isEmpty() || terms.empty())
        return {};
    QStringList order;
    for (const TSortTerm &t : terms)
        order << QuoteIdent(alias) + u'.' + QuoteIdent(t.Column) + (t.Desc ? QStringLiteral(" DESC") : QString());
    QString head = sql;
    while (!head.isEmpty() && (head.back().isSpace() || head.back() == u';'))
        head.chop(1);
    // On a line of its own: a comment at the end of the text closes nothing.
    return head + QStringLiteral("\nORDER BY ") + order.join(QStringLiteral(", "));
}
