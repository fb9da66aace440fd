#pragma once
// Checking the items' history against its hash chain (HistoryChainHash.h):
// the entries are walked in the chain's order and each one's hash computed
// again; the first entry changed, missing, added or moved is named, and the
// chain's last entry must be the head the book keeps. The chain's head is
// also printed on paper (the register book, handover records), so a book
// rewritten together with its head still differs from the paper.

#include <QDateTime>
#include <QString>
#include <functional>

class TZConnection;

// The head: the first 16 hex digits of the last entry's hash and how many
// entries the chain holds.
struct THistoryChainHead
{
    QString Digits;
    qint64 Entries = 0;
    // "Kontrolni zbir istorije: 3f2a9c01d4e5b6a7 (12.345 unosa)"
    QString Text() const;
};

THistoryChainHead ReadHistoryChainHead(TZConnection &connection);

enum class THistoryFault { None, Changed, Missing, Inserted, Swapped, Head };

struct THistoryChainCheck
{
    THistoryFault Fault = THistoryFault::None;
    qint64 Position = 0;  // the entry named; 0 for one outside the chain
    QDateTime When;       // its time, when it is there to read
    QString ItemNumber;   // its item's number at the time
    qint64 Checked = 0;   // entries found intact before it
    QString Text;         // what was found, in words
    bool Intact() const { return Fault == THistoryFault::None; }
};

// Walks the whole chain; the entries are read off this thread (ReadRows.h).
// progress(done, total) is told how many entries were checked of how many
// the head counts; false from it cancels (EAbort). Throws EDatabaseError.
THistoryChainCheck VerifyHistoryChain(TZConnection &connection,
                                      const std::function<bool(qint64 done, qint64 total)> &progress = {});
