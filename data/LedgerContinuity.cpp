#include "LedgerContinuity.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "PagedReport.h"
#include "ServerWait.h"
#include "ZConnection.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerNumber.h"
#include "ReadRows.h"
#include "data/ReportFile.h"
#include "data/ReportText.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

namespace {

const qint32 kDirections[] = {1, -1, 0};


// "1 broj", "3 broja", "5 brojeva".
QString countOf(qint64 n, const QString &one, const QString &few, const QString &many)
{
    const qint64 tens = n % 100, units = n % 10;
    const QString &word = (tens >= 11 && tens <= 14) ? many : units == 1 ? one : (units >= 2 && units <= 4) ? few : many;
    return QStringLiteral("%1 %2").arg(n).arg(word);
}

QString numberText(int sequence, int year, int suffix = 0)
{
    QString text = QStringLiteral("%1/%2").arg(sequence).arg(year % 100, 2, 10, QLatin1Char('0'));
    return suffix > 0 ? text + QStringLiteral("-%1").arg(suffix) : text;
}

// A copy that keeps the number of the item it came from takes no number of its own.
bool sharesOriginNumber(const TContinuityRow &row)
{
    if (!row.PassOn || !row.OriginFound || row.OriginDirection != row.Direction)
        return false;
    const TLedgerNumber mine = ParseLedgerNumber(row.Number), origin = ParseLedgerNumber(row.OriginNumber);
    if (!mine.Valid || !origin.Valid)
        return row.Number.trimmed() == row.OriginNumber.trimmed();
    return std::tie(mine.Sequence, mine.Year, mine.Suffix) == std::tie(origin.Sequence, origin.Year, origin.Suffix);
}

struct Ordered
{
    int Sequence = 0, Suffix = 0; // where the finding sorts in its direction
    TContinuityFinding Finding;
    int Group = 0; // 1: cancelled numbers, listed after the rest
};

// When the item was registered, how its number is written if not as usual, and why it holds one.
QString useText(const TContinuityRow &row, const QString &canonical)
{
    QString text = row.When.date().toString(QStringLiteral("dd.MM.yyyy"));
    if (row.Number != canonical)
        text += UiText(u" kao „%1“").arg(row.Number);
    if (row.PassOn)
        text += row.OriginFound ? UiText(u" (prosleđeni primerak s promenjenim brojem)")
                                : UiText(u" (prosleđeni primerak obrisane stavke)");
    return text;
}

void checkDirection(int year, qint32 direction, const QList<TContinuityRow> &rows, QList<Ordered> &out)
{
    std::map<std::pair<int, int>, QList<const TContinuityRow *>> uses; // (sequence, suffix)
    for (const TContinuityRow &row : rows) {
        if (row.Direction != direction || row.When.date().year() != year || sharesOriginNumber(row))
            continue;
        const TLedgerNumber n = ParseLedgerNumber(row.Number);
        const QString registered = row.When.date().toString(QStringLiteral("dd.MM.yyyy"));
        if (!n.Valid) {
            out.push_back({INT_MAX, 0,
                           {direction, TContinuityKind::Malformed, row.Number,
                            UiText(u"Stavka upisana %1 nema broj oblika redni broj/godina (npr. 12/%2).")
                                .arg(registered)
                                .arg(year % 100, 2, 10, QLatin1Char('0'))}});
        } else if (n.Year != year % 100) {
            out.push_back({n.Sequence, n.Suffix,
                           {direction, TContinuityKind::OutOfYear, row.Number.trimmed(),
                            UiText(u"Stavka je upisana %1, a broj nosi godinu %2.")
                                .arg(registered)
                                .arg(n.Year, 2, 10, QLatin1Char('0'))}});
        } else {
            uses[{n.Sequence, n.Suffix}] << &row;
        }
        if (row.Cancelled)
            out.push_back({n.Valid ? n.Sequence : INT_MAX, n.Valid ? n.Suffix : 0,
                           {direction, TContinuityKind::Cancelled, row.Number.trimmed(),
                            UiText(u"Stavka upisana %1 je stornirana: %2").arg(registered, row.CancelReason)},
                           1});
    }

    std::set<int> present;
    for (const auto &[key, rowsOfKey] : uses) {
        if (key.second == 0)
            present.insert(key.first);
        if (rowsOfKey.size() < 2)
            continue;
        const QString canonical = numberText(key.first, year, key.second);
        QStringList when;
        for (const TContinuityRow *row : rowsOfKey)
            when << useText(*row, canonical);
        out.push_back({key.first, key.second,
                       {direction, TContinuityKind::Duplicate, canonical,
                        UiText(u"Broj je dodeljen %1 puta: stavkama upisanim %2.")
                            .arg(rowsOfKey.size())
                            .arg(when.join(QStringLiteral(", ")))}});
    }

    // Only registered items make the sequence; it starts at 1 every year.
    const int highest = present.empty() ? 0 : *present.rbegin();
    for (int first = 1; first <= highest; ++first) {
        if (present.count(first))
            continue;
        int last = first;
        while (last + 1 <= highest && !present.count(last + 1))
            ++last;
        const QString numbers = first == last ? numberText(first, year)
                                              : numberText(first, year) + QStringLiteral(" – ") + numberText(last, year);
        out.push_back({first, 0,
                       {direction, TContinuityKind::Missing, numbers,
                        UiText(u"Nedostaje %1 u nizu do %2.")
                            .arg(countOf(last - first + 1, UiText(u"broj"), UiText(u"broja"),
                                         UiText(u"brojeva")),
                                 numberText(highest, year))}});
        first = last;
    }
}

} // namespace

QString ContinuityNothingFoundText()
{
    return UiText(u"Nema nedostajućih ni dvostrukih brojeva, ni brojeva druge godine.");
}

QString ContinuityKindCaption(TContinuityKind kind)
{
    switch (kind) {
    case TContinuityKind::Missing: return UiText(u"Nedostaje");
    case TContinuityKind::Duplicate: return UiText(u"Dvostruki broj");
    case TContinuityKind::OutOfYear: return UiText(u"Broj druge godine");
    case TContinuityKind::Malformed: return UiText(u"Neispravan broj");
    case TContinuityKind::Cancelled: return UiText(u"Stornirano");
    }
    return QString();
}

QList<TContinuityFinding> CheckContinuity(int year, const QList<TContinuityRow> &rows)
{
    QList<TContinuityFinding> findings;
    for (qint32 direction : kDirections) {
        QList<Ordered> found;
        checkDirection(year, direction, rows, found);
        std::stable_sort(found.begin(), found.end(), [](const Ordered &a, const Ordered &b) {
            return std::tie(a.Group, a.Sequence, a.Suffix) < std::tie(b.Group, b.Sequence, b.Suffix);
        });
        for (const Ordered &o : found)
            findings << o.Finding;
    }
    return findings;
}

QList<TContinuityRow> ReadContinuityRows(TZConnection &connection, int year,
                                         const std::function<bool(qint64 rows)> &readProgress)
{
    CheckLedgerYear(year);
    QList<TContinuityRow> rows;
    // A long year reads off this thread: the windows paint meanwhile.
    std::optional<TReadProgress> shown;
    if (readProgress)
        shown.emplace(readProgress);
    ReadRows(connection,
             QStringLiteral("SELECT l.ledgeritemid, l.direction, l.ledgernumber, l.ledgerdatetime, l.passonparentid,"
                            " o.ledgeritemid, o.direction, o.ledgernumber, l.cancelled, l.cancelreason"
                            " FROM ledgeritem AS l LEFT JOIN ledgeritem AS o ON o.ledgeritemid = l.passonparentid"
                            " WHERE l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?"),
             {TZConnection::DayStart(TZConnection::DateText(QDate(year, 1, 1))),
              TZConnection::DayEnd(TZConnection::DateText(QDate(year, 12, 31)))},
             [&rows](const TReadRow &r) {
                 TContinuityRow row;
                 row.Id = r.Integer(0);
                 row.Direction = qint32(r.Integer(1));
                 row.Number = r.Text(2);
                 row.When = StoredDateTime(r.Value(3));
                 row.PassOn = !r.IsNull(4);
                 row.OriginFound = !r.IsNull(5);
                 row.OriginDirection = qint32(r.Integer(6));
                 row.OriginNumber = r.Text(7);
                 row.Cancelled = r.Text(8) == QLatin1String("y");
                 row.CancelReason = r.Text(9);
                 rows << row;
             });
    return rows;
}

TPagedReport ContinuityReport(TZConnection &connection, int year, const QList<TContinuityFinding> &findings)
{
    CheckLedgerYear(year);
    auto rows = std::make_shared<std::vector<TPagedReportRow>>();
    for (qint32 direction : kDirections) {
        rows->push_back({{GetDirectionCaption(direction)}, true, false});
        bool any = false;
        for (const TContinuityFinding &f : findings)
            if (f.Direction == direction) {
                rows->push_back({{ContinuityKindCaption(f.Kind), f.Numbers, f.Text}, false, false});
                any = true;
            }
        if (!any)
            rows->push_back({{UiText(u"U redu"), QString(), ContinuityNothingFoundText()}, false, false});
    }
    TPagedReport report;
    report.Organization = PrintedOrganization(connection);
    report.Title = UiText(u"Kontinuitet delovodnih brojeva za %1. godinu").arg(year);
    report.Subtitle = UiText(u"Nedostajući, dvostruki i brojevi druge godine, po tipovima");
    report.PrintedAt = QDateTime::currentDateTime();
    report.Captions = {UiText(u"Nalaz"), UiText(u"Delovodni broj"), UiText(u"Opis")};
    report.Widths = {14, 16, 70};
    report.Closing = {UiText(u"Ukupno nalaza: %1").arg(findings.size())};
    report.RowCount = qint64(rows->size());
    report.Row = [rows](qint64 i) { return (*rows)[size_t(i)]; };
    return report;
}

bool SaveContinuityReport(TZConnection &connection, int year, const QString &fileName,
                          const std::function<bool(qint64, qint64)> &progress)
{
    std::function<bool(qint64)> reading;
    if (progress)
        reading = [&progress](qint64 rows) { return progress(rows, 0); };
    QList<TContinuityRow> rows;
    try {
        rows = ReadContinuityRows(connection, year, reading);
    } catch (const EAbort &) {
        return false; // cancelled while reading: no file was begun
    }
    return SavePagedReportPdf(ContinuityReport(connection, year, CheckContinuity(year, rows)), fileName, progress);
}
