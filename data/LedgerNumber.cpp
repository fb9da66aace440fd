#include "LedgerNumber.h"

#include <QRegularExpression>
#include <tuple>

TLedgerNumber ParseLedgerNumber(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,9})\\s*/\\s*(\\d{2})\\s*(?:-\\s*(\\d{1,9})\\s*)?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    TLedgerNumber n;
    if (!m.hasMatch())
        return n;
    n.Sequence = m.captured(1).toInt();
    n.Year = m.captured(2).toInt();
    n.Suffix = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    // Sequences start at 1, suffixes too.
    n.Valid = n.Sequence > 0 && (m.captured(3).isEmpty() || n.Suffix > 0);
    return n;
}

bool LedgerNumberLess(const QString &a, const QString &b)
{
    const TLedgerNumber x = ParseLedgerNumber(a), y = ParseLedgerNumber(b);
    if (x.Valid != y.Valid)
        return x.Valid;
    if (!x.Valid)
        return a < b;
    return std::tie(x.Year, x.Sequence, x.Suffix) < std::tie(y.Year, y.Sequence, y.Suffix);
}
