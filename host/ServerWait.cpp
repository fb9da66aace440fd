#include "ServerWait.h"

#include "Dialogs.h"
#include "KException.h"
#include "ZConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <future>
#include <mysql.h>
#include <sys/socket.h>

namespace {

constexpr qint64 kShowAfterMs = 800; // after the first 200 ms
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

} // namespace

int WaitForServer(TZConnection &connection, st_mysql *mysql, const std::function<int()> &call)
{
    const TConnectionParams params = connection.Params();
    const unsigned long threadId = mysql_thread_id(mysql);
    std::future<int> job = std::async(std::launch::async, call);
    // Most statements are done at once: no event is processed for them.
    if (job.wait_for(std::chrono::milliseconds(200)) == std::future_status::ready)
        return job.get();

    TZConnection::TBusy busy(connection);
    QElapsedTimer waited;
    waited.start();
    std::future<bool> check, kill;
    qint64 nextCheck = kCheckEveryMs - 200, cancelledAt = -1;
    int failedChecks = 0;
    bool answers = true, shown = false, frozen = false, cut = false;
    while (job.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        // Paint, but let no click reach a window that would use the busy connection.
        QCoreApplication::processEvents(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        const qint64 ms = waited.elapsed();
        if (check.valid() && check.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            answers = check.get();
            failedChecks = answers ? 0 : failedChecks + 1;
            frozen = failedChecks >= kFailedChecksForFrozen;
            nextCheck = ms + kCheckEveryMs;
        }
        if (!check.valid() && !frozen && ms >= nextCheck)
            check = std::async(std::launch::async, onSecondConnection, params, QByteArrayLiteral("SELECT 1"));
        if (ms >= kShowAfterMs && cancelledAt < 0 && !frozen) {
            shown = true;
            if (!Dialogs().DatabaseWait(int(ms / 1000), answers)) {
                cancelledAt = ms;
                kill = std::async(std::launch::async, onSecondConnection, params,
                                  QByteArray("KILL QUERY ") + QByteArray::number(qulonglong(threadId)));
            }
        }
        // Frozen, or cancelled and not stopped within a second: cut the connection.
        if (!cut && (frozen || (cancelledAt >= 0 && ms - cancelledAt > 1000))) {
            ::shutdown(mysql_get_socket(mysql), SHUT_RDWR);
            cut = true;
        }
    }
    const int result = job.get();
    if (shown)
        Dialogs().DatabaseWaitEnded();
    if (cut)
        connection.MarkLost();
    if (cancelledAt >= 0)
        throw EAbort();
    if (frozen)
        throw EDatabaseError(QStringLiteral("Server baze podataka ne odgovara (čekano %1 s); naredba je prekinuta. "
                                            "Pokušajte ponovo malo kasnije.")
                                 .arg(waited.elapsed() / 1000),
                             QStringLiteral("frozen"));
    return result;
}
