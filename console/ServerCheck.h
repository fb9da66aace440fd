#pragma once
// "Proveri vezu": whether a MariaDB server answers and what its database
// holds, said in one Serbian sentence for the first-start dialog.

#include "ZConnection.h"

#include <QString>

// Connects with short time-outs on a connection of its own (so it may run
// on a worker thread) and says what it found: a database that is empty, one
// that holds a book, one that is missing, an account refused, or a server
// that does not answer and why.
QString CheckServer(TConnectionParams params);
