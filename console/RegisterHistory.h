#pragma once
// The history of the registers (partners, documents, users, document types):
// who changed which row, when, from which computer, and each column's old
// and new value. Written inside the caller's transaction, so a change and
// its record are stored together or not at all; the program only inserts.

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

class TZConnection;

enum class TRegisterChangeKind : char { Insert = 'i', Update = 'u', Delete = 'd', Merge = 'm' };

struct TRegisterActor
{
    qint64 UserID = 0; // 0: nobody logged in (a command-line set-up)
    QString UserName;  // "Ana Petrović", or the login
    QString HostName;
};

struct TRegisterValue
{
    QString Column;
    QVariant Old; // null for an insert
    QVariant New; // null for a delete
};

// The actor of this computer; userName as shown in the history.
TRegisterActor RegisterActor(qint64 userID, const QString &userName);

// Records one change of table's row recordID; the values that did not
// change are left out. Throws EDatabaseError.
void RecordRegisterChange(TZConnection &connection, const QString &table, qint64 recordID, TRegisterChangeKind kind,
                          const TRegisterActor &actor, const QList<TRegisterValue> &values);

// RecordRegisterChange for many rows in a row (an import): its statements
// prepared once. Lives within the caller's transaction.
class TRegisterRecorder
{
public:
    explicit TRegisterRecorder(TZConnection &connection); // throws EDatabaseError
    ~TRegisterRecorder();
    void Record(const QString &table, qint64 recordID, TRegisterChangeKind kind, const TRegisterActor &actor,
                const QList<TRegisterValue> &values);
    // The insert of many rows of table at once, each with its values: a
    // few statements for all of them instead of a few for each.
    void RecordInserts(const QString &table, const QList<QPair<qint64, QList<TRegisterValue>>> &rows,
                       const TRegisterActor &actor);

private:
    struct Statements;
    TZConnection &m_connection;
    std::unique_ptr<Statements> m_statements;
};

// The values of an update: the columns whose value differs between before
// and after, both maps keyed by column name.
QList<TRegisterValue> ChangedValues(const QVariantMap &before, const QVariantMap &after);
