#pragma once
// Streams a SELECT's rows straight from the database client library, one row
// at a time, without building a QVariant per value or keeping the whole
// result in the driver: MySQL through mysql_use_result (or, with parameters,
// an unbuffered prepared statement whose integer columns the client hands
// over as integers, the rest as text), SQLite through sqlite3_step, its
// integers as integers. Parameters are bound, never spliced into the text.
// The data sets copy each row into their own store, on a second thread while
// the next rows are read (RowPipe.h). The whole read runs off the GUI thread,
// showing its progress and open to cancelling (ServerWait.h).

#include "KExport.h"
#include "RowReceiver.h"

#include <QStringList>
#include <QVariantList>

class TZConnection;

// Runs sql with params bound to its ? marks on the connection and hands every
// row to receiver; throws EDatabaseError with the database's message, EAbort
// when the user cancelled the read.
KCOMMON_EXPORT void StreamQuery(TZConnection &connection, const QString &sql, const QVariantList &params,
                                TRowReceiver &receiver);

// Fails with a clear message when the client library this reader uses is not
// the one Qt's database driver uses for the connection.
KCOMMON_EXPORT void CheckStreamingClient(TZConnection &connection);
