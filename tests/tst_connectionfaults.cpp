// A desk's connection to a MariaDB server that goes away: its session killed,
// left idle past the server's limit, the server restarted or frozen, or not
// there at all. Runs on the private server alone (it stops and freezes it).

#include "DatasetTestUtil.h"
#include "ScriptedDialogs.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QThread>
#include <csignal>

using namespace dst;

namespace {

const QString kRestored = QStringLiteral("Veza sa serverom baze podataka je bila prekinuta i ponovo je uspostavljena. "
                                         "Izmena možda nije sačuvana: proverite je i sačuvajte ponovo.");

// The private server's process, from the pid file beside its socket.
pid_t serverPid()
{
    QFile f(QFileInfo(qEnvironmentVariable("KLEDGER_MARIADB_SOCKET")).dir().filePath(QStringLiteral("mysqld.pid")));
    return f.open(QIODevice::ReadOnly) ? pid_t(f.readAll().trimmed().toLongLong()) : 0;
}

// kill() returns before every thread of the server has stopped; a thread
// woken meanwhile could still answer a statement.
bool waitStopped(pid_t pid)
{
    QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired()) {
        bool all = true;
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
        for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(tasks.filePath(task + QStringLiteral("/stat")));
            const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
            const qsizetype close = text.lastIndexOf(')');
            if (close >= 0 && close + 2 < text.size() && text.at(close + 2) != 'T' && text.at(close + 2) != 't')
                all = false;
        }
        if (all)
            return true;
        QThread::msleep(5);
    }
    return false;
}

} // namespace

class TestConnectionFaults : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        if (TestDb::BackendName() != QLatin1String("mariadb"))
            QSKIP("Only a server can go away.");
        DB_SETUP(m_db);
        addItems(conn(), 3);
    }
    void cleanup() { m_db.reset(); }

    void lostConnection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("then");
        for (const char *how : {"killed", "idle", "restarted"})
            for (const char *then : {"look-up", "list", "write"})
                QTest::addRow("%s, %s", how, then) << QString::fromLatin1(how) << QString::fromLatin1(then);
    }

    // Reads run again by themselves; a write is not repeated, says so, and the
    // next one works.
    void lostConnection()
    {
        QFETCH(QString, how);
        QFETCH(QString, then);
        auto list = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
        loseConnection(how);
        if (then == QLatin1String("look-up")) {
            DB_TRY(QCOMPARE(countItems(conn()), 3));
        } else if (then == QLatin1String("list")) {
            DB_TRY(list->Open());
            QCOMPARE(list->RecordCount(), 3);
        } else {
            const QString sql = QStringLiteral("UPDATE ledgeritem SET itemtype = 'Žalba' WHERE ledgernumber = '1/2024'");
            try {
                conn().ExecSQL(sql);
                QFAIL("a write on a lost connection reported success");
            } catch (const EDatabaseError &e) {
                QCOMPARE(e.message(), kRestored);
            }
            DB_TRY(conn().ExecSQL(sql));
            QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Žalba'")), 1);
        }
        // The session is as the connection makes it: no backslash escapes.
        QCOMPARE(scalar(conn(), QStringLiteral("SELECT 'a\\'")).toString(), QStringLiteral("a\\"));
    }

    void pendingEditKept()
    {
        auto q = liveQuery(conn(), QStringLiteral("SELECT * FROM ledgeritem ORDER BY ledgeritemid"));
        DB_TRY(q->Open());
        q->Edit();
        q->FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Rešenje"));
        loseConnection(QStringLiteral("killed"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->Post());
        QCOMPARE(q->State(), TDataSetState::Edit);
        QCOMPARE(q->FieldByName(QStringLiteral("itemtype")).AsString(), QStringLiteral("Rešenje"));
        DB_TRY(q->Post());
        QCOMPARE(countItems(conn(), QStringLiteral("itemtype = 'Rešenje'")), 1);
    }

    // A server that stops answering gives a clear time-out within the limit,
    // and work goes on once it answers again.
    void frozenServer()
    {
        TConnectionParams params = m_db->Params();
        params.ReadTimeout = 1;
        params.WriteTimeout = 1;
        params.ConnectTimeout = 1;
        TZConnection desk;
        desk.SetParams(params);
        DB_TRY(desk.Connect());
        const pid_t pid = serverPid();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        auto wake = qScopeGuard([pid] { ::kill(pid, SIGCONT); });
        QVERIFY(waitStopped(pid));
        QElapsedTimer waited;
        waited.start();
        try {
            desk.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM ledgeritem"));
            QFAIL("a frozen server answered");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Server baze podataka ne odgovara")), qPrintable(e.message()));
        }
        QVERIFY2(waited.elapsed() < 8000, qPrintable(QString::number(waited.elapsed())));
        wake.dismiss();
        QCOMPARE(::kill(pid, SIGCONT), 0);
        DB_TRY(QCOMPARE(countItems(desk), 3));
    }

    // A server that works long on a statement is waited for (the window keeps
    // painting and shows the wait); the user may cancel; a server that stops
    // answering while the list loads is given up on.
    void longWait_data()
    {
        QTest::addColumn<QString>("outcome"); // of a busy server, a cancel, a frozen server
        for (const char *outcome : {"rows", "cancelled", "frozen"})
            QTest::newRow(outcome) << QString::fromLatin1(outcome);
    }
    void longWait()
    {
        QFETCH(QString, outcome);
        const QString situation = outcome == QLatin1String("rows") ? QStringLiteral("busy") : outcome;
        TConnectionParams params = m_db->Params();
        params.ConnectTimeout = 1;
        TZConnection desk;
        desk.SetParams(params);
        DB_TRY(desk.Connect());
        ScopedScriptedDialogs dialogs;
        if (situation == QLatin1String("cancelled"))
            dialogs->CancelDatabaseWaitAt = 0;
        const pid_t pid = serverPid();
        auto wake = qScopeGuard([pid] { ::kill(pid, SIGCONT); });
        if (situation == QLatin1String("frozen")) {
            QCOMPARE(::kill(pid, SIGSTOP), 0);
            QVERIFY(waitStopped(pid));
        }
        const int pause = situation == QLatin1String("busy") ? 3 : 60;
        TZReadOnlyQuery list(&desk, QStringLiteral("SELECT SLEEP(?) AS pause, COUNT(*) AS n FROM ledgeritem"), {pause});
        QElapsedTimer waited;
        waited.start();
        QString got = QStringLiteral("rows");
        try {
            list.Open();
        } catch (const EAbort &) {
            got = QStringLiteral("cancelled");
        } catch (const EDatabaseError &e) {
            got = e.message().startsWith(QStringLiteral("Server baze podataka ne odgovara")) ? QStringLiteral("frozen")
                                                                                            : e.message();
        }
        QCOMPARE(got, outcome);
        QVERIFY(!dialogs->DatabaseWaits.isEmpty());
        if (outcome == QLatin1String("rows")) {
            QCOMPARE(list.FieldByName(QStringLiteral("n")).AsInteger(), 3);
            QVERIFY(dialogs->DatabaseWaits.contains(true));
        }
        if (outcome == QLatin1String("cancelled"))
            QVERIFY2(waited.elapsed() < 4000, qPrintable(QString::number(waited.elapsed())));
        if (outcome == QLatin1String("frozen"))
            QVERIFY2(waited.elapsed() < 15000, qPrintable(QString::number(waited.elapsed())));
        wake.dismiss();
        ::kill(pid, SIGCONT);
        // And on with the day.
        DB_TRY(QCOMPARE(countItems(desk), 3));
    }

    void serverGoneAtStart()
    {
        TConnectionParams params = m_db->Params();
        params.Socket = QStringLiteral("/nonexistent/mysqld.sock");
        TZConnection desk;
        desk.SetParams(params);
        QElapsedTimer waited;
        waited.start();
        try {
            desk.Connect();
            QFAIL("connected to no server");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.message(), QStringLiteral("Veza sa bazom podataka nije uspostavljena."));
            QVERIFY(!e.details().isEmpty());
        }
        QVERIFY(waited.elapsed() < 3000);
    }

private:
    TZConnection &conn() { return m_db->Connection(); }

    void loseConnection(const QString &how)
    {
        if (how == QLatin1String("killed")) {
            const qint64 id = scalar(conn(), QStringLiteral("SELECT CONNECTION_ID()")).toLongLong();
            m_db->OpenSecondConnection()->ExecSQL(QStringLiteral("KILL %1").arg(id));
        } else if (how == QLatin1String("idle")) {
            conn().ExecSQL(QStringLiteral("SET SESSION wait_timeout = 1"));
            QTest::qWait(2500);
        } else if (how == QLatin1String("restarted")) {
            const QString script = qEnvironmentVariable("KLEDGER_SOURCE_DIR") + QStringLiteral("/scripts/mariadb-private.sh");
            const QString dir = QFileInfo(qEnvironmentVariable("KLEDGER_MARIADB_SOCKET")).absolutePath();
            for (const char *step : {"stop", "start"})
                QCOMPARE(QProcess::execute(QStringLiteral("bash"), {script, QLatin1String(step), dir}), 0);
        }
    }

    std::unique_ptr<TestDb> m_db;
};

QTEST_GUILESS_MAIN(TestConnectionFaults)
#include "tst_connectionfaults.moc"
