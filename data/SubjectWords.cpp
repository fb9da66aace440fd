#include "SubjectWords.h"

#include "SerbianFold.h"
#include "ZConnection.h"

#include <QSet>
#include <QSqlQuery>

QStringList SubjectWords(QStringView text)
{
    const QString folded = SerbianFold(text);
    QStringList words;
    QSet<QString> seen;
    qsizetype start = -1;
    const auto take = [&](qsizetype end) {
        if (start < 0)
            return;
        QString word = folded.mid(start, end - start);
        // Cut on a whole character: half a surrogate pair would not compare.
        if (word.size() > SubjectWordLength)
            word.truncate(word.at(SubjectWordLength - 1).isHighSurrogate() ? SubjectWordLength - 1 : SubjectWordLength);
        if (!seen.contains(word)) {
            seen.insert(word);
            words << word;
        }
        start = -1;
    };
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        // A letter outside the basic plane comes as a pair; it stays in its word.
        const bool inWord = c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
        if (inWord && start < 0)
            start = i;
        else if (!inWord)
            take(i);
    }
    take(folded.size());
    return words;
}

void StoreSubjectWords(TZConnection &connection, qint64 itemID, const QString &subject)
{
    connection.ExecSQL(QStringLiteral("DELETE FROM subjectword WHERE ledgeritemid = ?"), {itemID});
    const QStringList words = SubjectWords(subject);
    if (words.isEmpty())
        return;
    QString sql = QStringLiteral("INSERT INTO subjectword (word, ledgeritemid) VALUES ");
    QVariantList params;
    params.reserve(2 * words.size());
    for (qsizetype i = 0; i < words.size(); ++i) {
        sql += i == 0 ? QStringLiteral("(?, ?)") : QStringLiteral(", (?, ?)");
        params << words.at(i) << itemID;
    }
    connection.ExecSQL(sql, params);
}

void StoreStoredSubjectWords(TZConnection &connection, qint64 itemID)
{
    auto stored = connection.OpenQuery(QStringLiteral("SELECT subject FROM ledgeritem WHERE ledgeritemid = ?"), {itemID});
    StoreSubjectWords(connection, itemID, stored->next() ? stored->value(0).toString() : QString());
}

namespace {

// How many items have a word beginning with word, counted up to a cap: a
// few index entries tell a rare word from a common one.
int cappedCount(TZConnection &connection, const QString &word)
{
    auto count = connection.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM subjectword "
                                                     "WHERE word >= ? AND word < ? LIMIT 1000) AS c"),
                                      {word, WordRangeEnd(word)});
    return count->next() ? count->value(0).toInt() : 0;
}

} // namespace

QString SubjectCondition(const QString &typed, QVariantList &params, TZConnection *connection)
{
    QStringList words = SubjectWords(typed);
    if (words.isEmpty())
        return {};
    QList<int> counts;
    for (const QString &word : words)
        counts << (connection ? cappedCount(*connection, word) : 0);
    qsizetype lead = 0;
    for (qsizetype i = 1; i < words.size(); ++i)
        if (counts[i] < counts[lead] || (counts[i] == counts[lead] && words[i].size() > words[lead].size()))
            lead = i;
    QStringList conditions{QStringLiteral("l.ledgeritemid IN (SELECT w.ledgeritemid FROM subjectword AS w "
                                          "WHERE w.word >= ? AND w.word < ?)")};
    params << words[lead] << WordRangeEnd(words[lead]);
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i == lead)
            continue;
        conditions << QStringLiteral("EXISTS (SELECT 1 FROM subjectword AS w WHERE w.ledgeritemid = l.ledgeritemid "
                                     "AND w.word >= ? AND w.word < ?)");
        params << words[i] << WordRangeEnd(words[i]);
    }
    return conditions.join(QStringLiteral(" AND "));
}

QString WordRangeEnd(const QString &word)
{
    QString end = word;
    const qsizetype last = end.size() - 1;
    end[last] = QChar(char16_t(end.at(last).unicode() + 1));
    return end;
}
