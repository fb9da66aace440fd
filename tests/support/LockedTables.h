#pragma once
// A read that has to wait: a second desk holds the tables (on SQLite an
// exclusive transaction, which no other desk reads through; on MariaDB LOCK
// TABLES ... WRITE), and dialogs that cancel the first wait the read shows
// (the database's wait, or the progress of a task that shows its own) and
// then let the tables go. A read that reaches either went through the
// streaming path: it ran on a worker thread while this one kept the event
// loop going.

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include <QStringList>
#include <QtGlobal>
#include <memory>

class LockedTables
{
public:
    // LOCK TABLES is no desk's right: the administrator's connection holds them.
    LockedTables(const TestDb &db, const QStringList &tables) : m_desk(db.OpenAdminConnection())
    {
        m_sqlite = m_desk->Backend() == TBackend::SQLite;
        m_desk->ExecSQL(m_sqlite ? QStringLiteral("BEGIN EXCLUSIVE")
                                 : QStringLiteral("LOCK TABLES ") + tables.join(QStringLiteral(" WRITE, "))
                                       + QStringLiteral(" WRITE"));
        m_locked = true;
    }
    ~LockedTables()
    {
        try {
            Release();
        } catch (const EDatabaseError &e) {
            qWarning("The tables were not let go: %s", qPrintable(e.message()));
        }
    }
    LockedTables(const LockedTables &) = delete;
    LockedTables &operator=(const LockedTables &) = delete;

    void Release()
    {
        if (!m_locked)
            return;
        m_locked = false;
        m_desk->ExecSQL(m_sqlite ? QStringLiteral("ROLLBACK") : QStringLiteral("UNLOCK TABLES"));
    }

private:
    std::unique_ptr<TZConnection> m_desk;
    bool m_sqlite = true;
    bool m_locked = false;
};

// Every wait it is asked about is cancelled, and the tables are let go.
class CancellingDialogs : public ScriptedDialogs
{
public:
    explicit CancellingDialogs(LockedTables &locked) : m_locked(locked) {}

    bool DatabaseWait(int seconds, bool serverAnswers, qint64 rowsLoaded) override
    {
        ScriptedDialogs::DatabaseWait(seconds, serverAnswers, rowsLoaded);
        return cancel();
    }
    bool TaskProgress(const QString &text, qint64 done, qint64 total) override
    {
        ScriptedDialogs::TaskProgress(text, done, total);
        return cancel();
    }
    // The waits shown: the database's and the task's.
    int Waits() const { return int(DatabaseWaits.size() + TaskSteps.size()); }

private:
    bool cancel()
    {
        m_locked.Release();
        return false;
    }

    LockedTables &m_locked;
};

// Installs CancellingDialogs for the lifetime of the object.
class ScopedCancellingDialogs
{
public:
    explicit ScopedCancellingDialogs(LockedTables &locked)
    {
        auto dialogs = std::make_unique<CancellingDialogs>(locked);
        m_dialogs = dialogs.get();
        m_previous = SetDialogs(std::move(dialogs));
    }
    ~ScopedCancellingDialogs() { SetDialogs(std::move(m_previous)); }
    ScopedCancellingDialogs(const ScopedCancellingDialogs &) = delete;
    ScopedCancellingDialogs &operator=(const ScopedCancellingDialogs &) = delete;
    CancellingDialogs *operator->() { return m_dialogs; }

private:
    CancellingDialogs *m_dialogs;
    std::unique_ptr<IDialogs> m_previous;
};
