#include "ItemDocumentText.h"

#include "Clock.h"
#include "InterfaceScript.h"
#include "SubjectWords.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QSqlQuery>

namespace {

// Rows per INSERT: the SQLite driver finds each bound value by its place in
// a list, so a statement with thousands of them costs more than several.
constexpr qsizetype WordsPerInsert = 100;

void storeWords(TZConnection &connection, qint64 itemID, const QStringList &words)
{
    for (qsizetype first = 0; first < words.size(); first += WordsPerInsert) {
        const qsizetype count = std::min(WordsPerInsert, words.size() - first);
        QString sql = QStringLiteral("INSERT INTO documentword (word, ledgeritemid) VALUES (?, ?)");
        sql.reserve(sql.size() + 8 * count);
        QVariantList params{words.at(first), itemID};
        for (qsizetype i = 1; i < count; ++i) {
            sql += QStringLiteral(", (?, ?)");
            params << words.at(first + i) << itemID;
        }
        connection.ExecSQL(sql, params);
    }
}

// Sender's numbers typed by hand differ in case and blanks only.
QString comparableNumber(const QString &number)
{
    return number.simplified().toCaseFolded();
}

} // namespace

void StoreItemDocumentText(TZConnection &connection, qint64 itemID, const QString &text, const QString &fileSha256)
{
    // Two desks storing one item's text take turns on its row: one text
    // stays, with its own words only.
    if (!ReadHeldRow(connection, QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid"), itemID,
                     QStringLiteral("ledgeritemid")))
        throw EDatabaseError(UiText(u"Stavka za koju se čuva tekst dokumenta više ne postoji."));
    connection.ExecSQL(QStringLiteral("DELETE FROM documentword WHERE ledgeritemid = ?"), {itemID});
    connection.ExecSQL(QStringLiteral("DELETE FROM itemdocument WHERE ledgeritemid = ?"), {itemID});
    const QString sha = fileSha256.trimmed().toLower();
    if (text.isEmpty() && sha.isEmpty())
        return;
    connection.ExecSQL(QStringLiteral("INSERT INTO itemdocument (ledgeritemid, filesha256, documenttext, storedat) "
                                      "VALUES (?, ?, ?, ?)"),
                       {itemID, sha.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(sha), text,
                        TZConnection::DateTimeText(TClock::Now())});
    storeWords(connection, itemID, SubjectWords(text));
}

QString ItemDocumentText(TZConnection &connection, qint64 itemID)
{
    auto stored =
        connection.OpenQuery(QStringLiteral("SELECT documenttext FROM itemdocument WHERE ledgeritemid = ?"), {itemID});
    return stored->next() ? stored->value(0).toString() : QString();
}

QList<TIntakeDuplicate> FindIntakeDuplicates(TZConnection &connection, const QString &fileSha256, qint64 partnerID,
                                             const QString &itemNumber)
{
    QList<TIntakeDuplicate> found;
    const QString sha = fileSha256.trimmed().toLower();
    if (!sha.isEmpty()) {
        auto same = connection.OpenQuery(QStringLiteral("SELECT l.ledgeritemid, l.ledgernumber FROM itemdocument AS d "
                                                        "JOIN ledgeritem AS l ON l.ledgeritemid = d.ledgeritemid "
                                                        "WHERE d.filesha256 = ? ORDER BY l.ledgeritemid"),
                                         {sha});
        while (same->next()) {
            const QString number = same->value(1).toString();
            found << TIntakeDuplicate{same->value(0).toLongLong(), number,
                                      UiText(u"isti fajl je već sken stavke %1").arg(number)};
        }
    }
    const QString wanted = comparableNumber(itemNumber);
    if (partnerID > 0 && !wanted.isEmpty()) {
        // A partner's items are few enough to compare here, where blanks and
        // case are compared the same way on both backends.
        auto items = connection.OpenQuery(QStringLiteral("SELECT ledgeritemid, ledgernumber, itemnumber FROM ledgeritem "
                                                         "WHERE partnerid = ? AND itemnumber IS NOT NULL "
                                                         "ORDER BY ledgeritemid"),
                                          {partnerID});
        while (items->next()) {
            if (comparableNumber(items->value(2).toString()) != wanted)
                continue;
            const QString number = items->value(1).toString();
            found << TIntakeDuplicate{items->value(0).toLongLong(), number,
                                      UiText(u"isti partner i broj dokumenta već su zavedeni pod %1").arg(number)};
        }
    }
    return found;
}
