#include "RegisterHistory.h"

#include "ZConnection.h"

#include <QDateTime>
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
    : m_statements(std::make_unique<Statements>(Statements{
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
