#pragma once
// Giving history entries written before the chain their place in it.

#include <QtGlobal>

class TZConnection;

// Chains the entries that have no place yet, in the order they were written,
// after the chain's head, and moves the head past them; in the caller's
// transaction or one of its own. The upgrade runs it once for a book from
// before the chain; with nothing unchained it changes nothing. Returns how
// many entries it chained.
qint64 ChainUnchainedHistory(TZConnection &connection);
