#pragma once
// The servers a desk may use, in order of preference: a cluster's nodes, or
// one server. Written as one line, entries separated by ';':
//   /run/mysqld/mysqld.sock; db2.office.local:3306; 10.0.0.3; [fd00::3]:3307
// An entry that starts with '/' is a Unix socket; any other is a host with
// an optional port (the given default when it has none).

#include "KExport.h"

#include <QString>
#include <vector>

struct TServerAddress
{
    QString Host;
    int Port = 0;
    QString Socket;

    // As the status bar and the messages name it.
    QString Text() const;
    bool operator==(const TServerAddress &) const = default;
};

// Throws EDatabaseError naming the first entry that is no server; empty
// entries (a trailing ';') are skipped.
KCOMMON_EXPORT std::vector<TServerAddress> ParseServerList(const QString &text, int defaultPort);
