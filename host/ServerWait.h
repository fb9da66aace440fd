#pragma once
// Waiting for a MariaDB server without freezing the desk. The call that
// waits for the server (a statement's execution, until its first row) runs
// on a worker thread while this thread keeps the windows painting. Every few
// seconds a second connection asks the server whether it still answers: a
// busy server is waited for as long as it works, one that stopped answering
// is given up on. After a second the dialog seam shows the wait, and the user
// may cancel it: the statement is killed on the server (or, if the server
// cannot be reached, the connection is cut).

#include "KExport.h"

#include <functional>

struct st_mysql;
class TZConnection;

// Runs call, which uses mysql, and returns its result. Throws EAbort when the
// user cancelled, EDatabaseError when the server stopped answering (the
// connection is then made again on its next use).
KCOMMON_EXPORT int WaitForServer(TZConnection &connection, st_mysql *mysql, const std::function<int()> &call);
