#pragma once
// Reading from the database without freezing the desk. The whole read (the
// statement's execution and the fetching of its rows) runs on a worker thread
// while this thread keeps the windows painting. On MariaDB, while no rows
// arrive, a second connection asks every few seconds whether the server still
// answers: a busy server is waited for as long as it works, one that stopped
// answering is given up on. After a second the dialog seam shows the wait with
// the rows loaded so far, and the user may cancel: the statement is killed on
// the server (cut with the connection if it does not stop within a second) or
// interrupted on the SQLite handle, and the read's rows are thrown away.
//
// While it runs the connection is busy: any other statement on it is refused
// ("Baza podataka još radi na prethodnom upitu."), so the handle is never used
// from two threads; no user input reaches a window until the wait shows, and
// then only the wait (it is application-modal).

#include "KExport.h"

#include <QtGlobal>
#include <atomic>
#include <functional>

struct st_mysql;
struct sqlite3;
class TZConnection;

// What a read runs on and what the wait may watch and stop.
struct TReadWork
{
    st_mysql *MySql = nullptr; // the session the read uses, or
    sqlite3 *Sqlite = nullptr; // the SQLite handle it uses
    const std::atomic<qint64> *Rows = nullptr; // rows read so far
    std::atomic<bool> *Stop = nullptr;         // set on cancel; the read checks it between rows
};

// Runs read on a worker thread; read must touch no widget and no data set.
// Rethrows what read threw. Throws EAbort when the user cancelled (after
// telling them "Učitavanje je prekinuto."), EDatabaseError when the server
// stopped answering (the connection is then made again on its next use).
KCOMMON_EXPORT void WaitForServer(TZConnection &connection, const TReadWork &work, const std::function<void()> &read);

// While one lives, a wait on a server that answers reports the rows read so
// far to progress, on this thread, instead of showing the dialog seam's
// DatabaseWait: for a task that shows its own progress (an export). False
// from progress cancels the read as the user's cancel does. One at a time.
class KCOMMON_EXPORT TReadProgress
{
public:
    explicit TReadProgress(std::function<bool(qint64 rows)> progress);
    ~TReadProgress();
    TReadProgress(const TReadProgress &) = delete;
    TReadProgress &operator=(const TReadProgress &) = delete;
};

// The word a user gets for a load they cancelled.
KCOMMON_EXPORT extern const QString LoadCancelledText;
