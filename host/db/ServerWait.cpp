#include "ServerWait.h"

#include "Dialogs.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ReadThread.h"
#include "ZConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <future>
#include <mysql.h>
#include <sqlite3.h>
#include <sys/socket.h>

const QString LoadCancelledText = QStringLiteral("Učitavanje je prekinuto.");

namespace {

constexpr int kQuietMs = 100;        // no event is processed for a read done by then
constexpr qint64 kShowAfterMs = 900; // after the quiet part
constexpr qint64 kCheckEveryMs = 2000;
constexpr int kFailedChecksForFrozen = 2;

// A short second connection with tight time-outs; runs sql on it.
bool onSecondConnection(const TConnectionParams &p, const QByteArray &sql)
{
    MYSQL *m = mysql_init(nullptr);
    if (!m)
        return false;
    const unsigned int seconds = unsigned(qBound(1, p.ConnectTimeout, 3));
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &seconds);
    mysql_options(m, MYSQL_OPT_READ_TIMEOUT, &seconds);
    mysql_options(m, MYSQL_OPT_WRITE_TIMEOUT, &seconds);
    const QByteArray host = p.Host.toUtf8(), user = p.User.toUtf8(), pass = p.Password.toUtf8(),
                     db = p.Database.toUtf8(), socket = p.Socket.toUtf8();
    bool ok = mysql_real_connect(m, host.isEmpty() ? nullptr : host.constData(), user.constData(), pass.constData(),
                                 db.constData(), unsigned(qMax(0, p.Port)),
                                 socket.isEmpty() ? nullptr : socket.constData(), 0)
        && mysql_real_query(m, sql.constData(), static_cast<unsigned long>(sql.size())) == 0;
    if (ok)
        if (MYSQL_RES *r = mysql_store_result(m))
            mysql_free_result(r);
    mysql_close(m);
    return ok;
}

// Whether the finished read failed because its connection is gone.
bool lostConnection(std::future<void> &job)
{
    try {
        job.get();
    } catch (const EDatabaseError &e) {
        return IsConnectionLost(e);
    } catch (...) {
    }
    return false;
}

std::function<bool(qint64)> &readProgress()
{
    static std::function<bool(qint64)> progress;
    return progress;
}

} // namespace

TReadProgress::TReadProgress(std::function<bool(qint64 rows)> progress)
{
    readProgress() = std::move(progress);
}

TReadProgress::~TReadProgress()
{
    readProgress() = nullptr;
}

void WaitForServer(TZConnection &connection, const TReadWork &work, const std::function<void()> &read)
{
    TZConnection::TBusy busy(connection);
    std::future<void> job = RunOnReadThread(read);
    // Most reads are done at once: no event is processed for them.
    if (job.wait_for(std::chrono::milliseconds(kQuietMs)) == std::future_status::ready)
        return job.get();

    const TConnectionParams params = connection.SessionParams();
    const unsigned long threadId = work.MySql ? mysql_thread_id(work.MySql) : 0;
    QElapsedTimer waited;
    waited.start();
    std::future<bool> check, kill;
    qint64 nextCheck = kCheckEveryMs - kQuietMs, cancelledAt = -1, rows = 0;
    int failedChecks = 0;
    bool answers = true, shown = false, frozen = false, cut = false;
    while (job.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        // Paint, but let no click reach a window that would use the busy connection.
        QCoreApplication::processEvents(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        const qint64 ms = waited.elapsed();
        const qint64 nowRows = work.Rows ? work.Rows->load(std::memory_order_relaxed) : 0;
        if (nowRows != rows) { // rows arriving: the server answers
            rows = nowRows;
            answers = true;
            failedChecks = 0;
            nextCheck = ms + kCheckEveryMs;
        }
        if (work.MySql) {
            if (check.valid() && check.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
                answers = check.get();
                failedChecks = answers ? 0 : failedChecks + 1;
                frozen = failedChecks >= kFailedChecksForFrozen;
                nextCheck = ms + kCheckEveryMs;
            }
            if (!check.valid() && !frozen && cancelledAt < 0 && ms >= nextCheck)
                check = std::async(std::launch::async, onSecondConnection, params, QByteArrayLiteral("SELECT 1"));
        }
        if (ms >= kShowAfterMs && cancelledAt < 0 && !frozen) {
            const std::function<bool(qint64)> &progress = readProgress();
            shown = shown || !progress || !answers;
            const bool goOn = progress && answers ? progress(rows)
                                                  : Dialogs().DatabaseWait(int((ms + kQuietMs) / 1000), answers, rows);
            if (!goOn) {
                cancelledAt = ms;
                if (work.Stop)
                    work.Stop->store(true);
                if (work.Sqlite)
                    sqlite3_interrupt(work.Sqlite);
                if (work.MySql)
                    kill = std::async(std::launch::async, onSecondConnection, params,
                                      QByteArray("KILL QUERY ") + QByteArray::number(qulonglong(threadId)));
            }
        }
        // Frozen, or cancelled and not stopped within a second: cut the connection.
        if (work.MySql && !cut && (frozen || (cancelledAt >= 0 && ms - cancelledAt > 700))) {
            if (work.Stop)
                work.Stop->store(true);
            ::shutdown(mysql_get_socket(work.MySql), SHUT_RDWR);
            cut = true;
        }
    }
    if (shown)
        Dialogs().DatabaseWaitEnded();
    if (cancelledAt < 0 && !frozen)
        return job.get();
    // The read's own failure is the cancel's or the cut's doing; a connection
    // it lost is made again on its next use.
    if (lostConnection(job) || cut)
        connection.MarkLost();
    if (frozen)
        throw EDatabaseError(UiText(u"Server baze podataka ne odgovara (čekano %1 s); naredba je prekinuta. "
                                u"Pokušajte ponovo malo kasnije.")
                                 .arg((waited.elapsed() + kQuietMs) / 1000),
                             QStringLiteral("frozen"));
    Dialogs().Notice(UiText(LoadCancelledText));
    throw EAbort();
}
