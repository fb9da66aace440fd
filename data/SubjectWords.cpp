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

QString SubjectCondition(const QString &typed, QVariantList &params)
{
    QStringList conditions;
    for (const QString &word : SubjectWords(typed)) {
        // Every word that begins with it sorts from it up to it with its
        // last character raised by one; the column compares code points
        // (binary collation), so this is the whole prefix range.
        QString upper = word;
        const qsizetype last = upper.size() - 1;
        upper[last] = QChar(char16_t(upper.at(last).unicode() + 1));
        conditions << QStringLiteral("l.ledgeritemid IN (SELECT w.ledgeritemid FROM subjectword AS w "
                                     "WHERE w.word >= ? AND w.word < ?)");
        params << word << upper;
    }
    return conditions.join(QStringLiteral(" AND "));
}
