#pragma once
// A ledger number read as its parts: "12/26" is sequence 12 of year 26,
// "12/26-3" the third enclosure under it. Ordered by their parts, 2/26 comes
// before 10/26 and 12/26-1 right after 12/26.

#include <QString>

struct TLedgerNumber
{
    bool Valid = false;  // sequence "/" two-digit year, optionally "-" suffix
    int Sequence = 0;
    int Year = -1;       // the two digits, 0..99
    int Suffix = 0;      // 0 for a registered item, n for its n-th enclosure
    bool Enclosure() const { return Suffix > 0; }
};

// Blanks around the parts and leading zeros are tolerated; anything else
// makes the number invalid.
TLedgerNumber ParseLedgerNumber(const QString &text);

