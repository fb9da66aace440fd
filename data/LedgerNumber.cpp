#include "LedgerNumber.h"

#include <QRegularExpression>

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

