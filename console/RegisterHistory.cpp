#include "RegisterHistory.h"

#include "ZConnection.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>
#include <QSysInfo>

namespace {

QVariant stored(const QVariant &value)
{
    return value.isNull() ? QVariant() : QVariant(value.toString());
}

bool same(const QVariant &a, const QVariant &b)
{
    return a.isNull() == b.isNull() && a.toString() == b.toString();
}

} // namespace

TRegisterActor RegisterActor(qint64 userID, const QString &userName)
{
    return {userID, userName, QSysInfo::machineHostName()};
}

struct TRegisterRecorder::Statements
{
    TZConnection::TPrepared Change;
    TZConnection::TPrepared Value;
};

TRegisterRecorder::TRegisterRecorder(TZConnection &connection)
    : m_connection(connection),
      m_statements(std::make_unique<Statements>(Statements{
          connection.Prepare(QStringLiteral("INSERT INTO registerhistory (tablename, recordid, changedat, changekind, "
                                            "userid, username, hostname) VALUES (?, ?, ?, ?, ?, ?, ?)")),
          connection.Prepare(QStringLiteral("INSERT INTO registerhistoryvalue (registerhistoryid, columnname, "
                                            "oldvalue, newvalue) VALUES (?, ?, ?, ?)"))}))
{
}

TRegisterRecorder::~TRegisterRecorder() = default;

void TRegisterRecorder::Record(const QString &table, qint64 recordID, TRegisterChangeKind kind,
                               const TRegisterActor &actor, const QList<TRegisterValue> &values)
{
    m_statements->Change.Exec({table, recordID, TZConnection::DateTimeText(QDateTime::currentDateTime()),
                               QString(QChar::fromLatin1(char(kind))),
                               actor.UserID > 0 ? QVariant(actor.UserID) : QVariant(), actor.UserName, actor.HostName});
    const qint64 id = m_statements->Change.InsertedID();
    for (const TRegisterValue &value : values) {
        if (kind == TRegisterChangeKind::Update && same(value.Old, value.New))
            continue;
        m_statements->Value.Exec({id, value.Column, stored(value.Old), stored(value.New)});
    }
}

void TRegisterRecorder::RecordInserts(const QString &table, const QList<QPair<qint64, QList<TRegisterValue>>> &rows,
                                      const TRegisterActor &actor)
{
    if (rows.isEmpty())
        return;
    const QString at = TZConnection::DateTimeText(QDateTime::currentDateTime());
    const QVariant user = actor.UserID > 0 ? QVariant(actor.UserID) : QVariant();
    QStringList tuples;
    QVariantList params;
    for (const auto &row : rows) {
        tuples << QStringLiteral("(?, ?, ?, 'i', ?, ?, ?)");
        params << table << row.first << at << user << actor.UserName << actor.HostName;
    }
    auto last = m_connection.OpenQuery(QStringLiteral("SELECT MAX(registerhistoryid) FROM registerhistory"));
    const qint64 before = last->next() ? last->value(0).toLongLong() : 0;
    m_connection.ExecSQL(QStringLiteral("INSERT INTO registerhistory (tablename, recordid, changedat, changekind, "
                                        "userid, username, hostname) VALUES %1")
                             .arg(tuples.join(QStringLiteral(", "))),
                         params);
    // The rows are new: no other desk writes an insert entry for them.
    QHash<qint64, qint64> entryOf;
    for (const auto &row : rows)
        entryOf.insert(row.first, 0);
    auto q = m_connection.OpenQuery(QStringLiteral("SELECT registerhistoryid, recordid FROM registerhistory WHERE "
                                                   "registerhistoryid > ? AND tablename = ? AND changekind = 'i'"),
                                    {before, table});
    while (q->next())
        if (entryOf.contains(q->value(1).toLongLong()))
            entryOf[q->value(1).toLongLong()] = q->value(0).toLongLong();
    tuples.clear();
    params.clear();
    for (const auto &row : rows) {
        for (const TRegisterValue &value : row.second) {
            if (value.New.isNull())
                continue;
            tuples << QStringLiteral("(?, ?, NULL, ?)");
            params << entryOf.value(row.first) << value.Column << stored(value.New);
        }
    }
    if (!tuples.isEmpty())
        m_connection.ExecSQL(QStringLiteral("INSERT INTO registerhistoryvalue (registerhistoryid, columnname, oldvalue, "
                                            "newvalue) VALUES %1")
                                 .arg(tuples.join(QStringLiteral(", "))),
                             params);
}

void RecordRegisterChange(TZConnection &connection, const QString &table, qint64 recordID, TRegisterChangeKind kind,
                          const TRegisterActor &actor, const QList<TRegisterValue> &values)
{
    TRegisterRecorder(connection).Record(table, recordID, kind, actor, values);
}

QList<TRegisterValue> ChangedValues(const QVariantMap &before, const QVariantMap &after)
{
    QList<TRegisterValue> values;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const QVariant old = before.value(it.key());
        if (!same(old, it.value()))
            values.push_back({it.key(), old, it.value()});
    }
    return values;
}
