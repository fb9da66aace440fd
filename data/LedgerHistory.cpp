// Writing the items' history.

#include "InterfaceScript.h"
#include "LedgerHistory.h"

#include "Field.h"
#include "HistoryChainHash.h"
#include "KException.h"
#include "StoredForm.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/LedgerDMUnit.h"
#include "LedgerContext.h"

#include <QSysInfo>
#include <QSqlQuery>
#include <QHash>
#include <QSet>
#include <QSqlRecord>
#include <array>

namespace {

const char *const KindCodes[] = {"i", "u", "d"};

QString lookUp(TZConnection &connection, const QString &sql, const QVariant &id)
{
    auto q = connection.OpenQuery(sql, {id});
    return q->next() ? q->value(0).toString() : QString();
}

// The words for a stored value of a coded or linking column.
QString displayText(TZConnection &connection, const QString &column, const QVariant &value)
{
    if (value.isNull())
        return {};
    if (column == QLatin1String("direction"))
        return GetDirectionCaption(value.toInt());
    if (column == QLatin1String("inmailtype") || column == QLatin1String("outmailtype"))
        return GetMailTypeCaption(value.toInt());
    if (column == QLatin1String("userid") || column == QLatin1String("inuserid") || column == QLatin1String("outuserid"))
        return lookUp(connection, QStringLiteral("SELECT CONCAT(firstname,' ',lastname) FROM user WHERE userid = ?"), value);
    if (column == QLatin1String("partnerid"))
        return lookUp(connection, QStringLiteral("SELECT name FROM partner WHERE partnerid = ?"), value);
    if (column == QLatin1String("documentid"))
        return lookUp(connection, QStringLiteral("SELECT number FROM document WHERE documentid = ?"), value);
    if (column == QLatin1String("parentid") || column == QLatin1String("passonparentid"))
        return lookUp(connection, QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE ledgeritemid = ?"), value);
    return {};
}

// The item's stored columns other than the key; nullopt without such item.
std::optional<QList<std::pair<QString, QVariant>>> storedRow(TZConnection &connection, const QVariant &id)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT * FROM ledgeritem WHERE ledgeritemid = ?"), {id});
    if (!q->next())
        return std::nullopt;
    QList<std::pair<QString, QVariant>> row;
    // What the server computes from the others (MariaDB's numberkey and
    // folded keys) is no value of the item.
    QSet<QString> computed{QStringLiteral("ledgeritemid")};
    for (const TColumnInfo &c : connection.TableColumns(QStringLiteral("ledgeritem")))
        if (c.Generated)
            computed.insert(c.Name.toLower());
    const QSqlRecord rec = q->record();
    for (int i = 0; i < rec.count(); ++i) {
        const QString name = rec.fieldName(i).toLower();
        if (!computed.contains(name))
            row.append({name, StoredText(q->value(i))});
    }
    return row;
}

QVariant columnValue(const QList<std::pair<QString, QVariant>> &row, const QString &column)
{
    for (const auto &[name, value] : row)
        if (name == column)
            return value;
    return {};
}

// The whole row as values of one side: new for an insert, old for a delete.
QList<THistoryValue> rowValues(TZConnection &connection, const QList<std::pair<QString, QVariant>> &row, bool asNew)
{
    QList<THistoryValue> values;
    QHash<QString, QString> userNames; // the same user is often in two columns
    for (const auto &[name, value] : row) {
        if (value.isNull())
            continue;
        THistoryValue v{name, {}, {}, {}, {}};
        (asNew ? v.NewValue : v.OldValue) = value;
        const bool user = name.endsWith(QLatin1String("userid"));
        QString text = user ? userNames.value(value.toString()) : QString();
        if (text.isEmpty()) {
            text = displayText(connection, name, value);
            if (user)
                userNames.insert(value.toString(), text);
        }
        (asNew ? v.NewText : v.OldText) = text;
        values << v;
    }
    return values;
}

QVariant bound(const QString &text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}

// A value as stored: its text, or NULL.
QString storedValue(const QVariant &value)
{
    return HistoryChainText(StoredText(value));
}

// A caption: empty is stored as NULL.
QString storedCaption(const QString &text)
{
    return text.isEmpty() ? QString() : text;
}

// The entry joins the history's chain in the write's own transaction: the
// chain's head is held until it ends, so entries join it one at a time (on
// a cluster the head's claim makes a second node's entry a write conflict,
// and that write runs again after this one). The time is the database's.
void writeEntry(TZConnection &connection, THistoryKind kind, const QVariant &itemID, const QVariant &number,
                const QList<THistoryValue> &values, const THistoryActor &actor, const QDateTime &at = {})
{
    const auto head = ReadHeldRow(connection, QStringLiteral("historychain"), QStringLiteral("chainid"), 1,
                                  QStringLiteral("entries, headhash, ") + connection.Dialect().NowSql());
    if (!head)
        throw EDatabaseError(UiText(u"Knjiga nema zaglavlje lanca istorije (tabela historychain)."));
    // The entry as stored: texts, or NULL.
    const qint64 position = head->at(0).toLongLong() + 1;
    const QString changedAt = at.isValid() ? at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : head->at(2).toString();
    const QString kindCode = QString::fromLatin1(KindCodes[int(kind)]);
    const QString userID = HistoryChainText(actor.UserID.isNull() ? QVariant() : QVariant(actor.UserID.toLongLong()));
    const QString userName = HistoryChainText(actor.UserName);
    const QString hostName = HistoryChainText(actor.HostName);
    const QString ledgerNumber = storedValue(number);
    QList<std::array<QString, 5>> rows;
    for (const THistoryValue &v : values)
        rows.append({v.Column, storedValue(v.OldValue), storedValue(v.NewValue), storedCaption(v.OldText),
                     storedCaption(v.NewText)});

    THistoryChainRecord record{position, itemID.toLongLong(), HistoryChainUtf8(changedAt), HistoryChainUtf8(kindCode),
                               HistoryChainUtf8(userID), HistoryChainUtf8(userName), HistoryChainUtf8(hostName),
                               HistoryChainUtf8(ledgerNumber), {}};
    for (const auto &row : rows)
        record.Values.append({HistoryChainUtf8(row[0]), HistoryChainUtf8(row[1]), HistoryChainUtf8(row[2]),
                              HistoryChainUtf8(row[3]), HistoryChainUtf8(row[4])});
    const QString hash = QString::fromLatin1(HistoryChainHash(record, head->at(1).toString().toLatin1()));

    connection.ExecSQL(QStringLiteral("INSERT INTO ledgerhistory (ledgeritemid, changedat, changekind, userid, username, "
                                      "hostname, ledgernumber, chainseq, entryhash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {record.ItemID, changedAt, kindCode, bound(userID), userName, hostName, bound(ledgerNumber),
                        position, hash});
    if (!values.isEmpty()) {
        const qint64 entry = connection.LastInsertID();
        // All columns in one statement: one round trip to the server.
        QVariantList params;
        QStringList marks;
        for (const auto &row : rows) {
            marks << QStringLiteral("(?, ?, ?, ?, ?, ?)");
            params << entry << row[0] << bound(row[1]) << bound(row[2]) << bound(row[3]) << bound(row[4]);
        }
        connection.ExecSQL(QStringLiteral("INSERT INTO ledgerhistoryvalue (ledgerhistoryid, columnname, oldvalue, "
                                          "newvalue, oldtext, newtext) VALUES ") + marks.join(QStringLiteral(", ")),
                           params);
    }
    connection.ExecSQL(QStringLiteral("UPDATE historychain SET entries = ?, headhash = ? WHERE chainid = 1"),
                       {position, hash});
}

[[noreturn]] void itemGone()
{
    throw EStaleRow(UiText(u"Stavka više ne postoji u delovodniku (izbrisana je u međuvremenu)."));
}

} // namespace

THistoryActor CurrentHistoryActor(const ILedgerContext *context)
{
    THistoryActor actor;
    actor.HostName = QSysInfo::machineHostName();
    TUserDesc user;
    if (context && context->CurrentUser(user)) {
        actor.UserID = QVariant::fromValue(qint64(user.UserID));
        actor.UserName = user.FirstName + u' ' + user.LastName;
    }
    return actor;
}

void JournalLedgerItemWrite(TZConnection &connection, TZQuery::TWriteKind kind, const QVariant &key,
                            const std::vector<TField *> &changed, const THistoryActor &actor)
{
    const auto row = storedRow(connection, key);
    if (!row)
        itemGone();
    switch (kind) {
    case TZQuery::TWriteKind::Insert:
        writeEntry(connection, THistoryKind::Insert, key, columnValue(*row, QStringLiteral("ledgernumber")),
                   rowValues(connection, *row, true), actor);
        return;
    case TZQuery::TWriteKind::Delete:
        writeEntry(connection, THistoryKind::Delete, key, columnValue(*row, QStringLiteral("ledgernumber")),
                   rowValues(connection, *row, false), actor);
        return;
    case TZQuery::TWriteKind::Update:
        break;
    }
    QList<THistoryValue> values;
    QVariant number = columnValue(*row, QStringLiteral("ledgernumber"));
    for (const TField *field : changed) {
        const QString column = field->FieldName().toLower();
        const QVariant before = columnValue(*row, column);
        const QVariant after = StoredText(field->Value());
        if (column == QLatin1String("ledgernumber"))
            number = after;
        if (before == after)
            continue;
        values << THistoryValue{column, before, after, displayText(connection, column, before),
                                displayText(connection, column, after)};
    }
    if (!values.isEmpty())
        writeEntry(connection, THistoryKind::Update, key, number, values, actor);
}

void JournalLedgerItemCopy(TZConnection &connection, qint64 itemID, const THistoryActor &actor)
{
    JournalLedgerItemWrite(connection, TZQuery::TWriteKind::Insert, QVariant::fromValue(itemID), {}, actor);
}

void JournalLedgerItemValues(TZConnection &connection, qint64 itemID, const QString &number,
                             const QList<THistoryValue> &values, const THistoryActor &actor)
{
    writeEntry(connection, THistoryKind::Update, QVariant::fromValue(itemID), number, values, actor);
}

void JournalLedgerItemEntryAt(TZConnection &connection, THistoryKind kind, qint64 itemID, const QString &number,
                              const QList<THistoryValue> &values, const THistoryActor &actor, const QDateTime &at)
{
    writeEntry(connection, kind, QVariant::fromValue(itemID), number, values, actor, at);
}
