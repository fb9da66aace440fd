#include "ClosingFigures.h"

#include "ReadRows.h"
#include "ServerWait.h"
#include "ZConnection.h"
#include "data/LedgerContinuity.h"
#include "data/LedgerNumber.h"
#include "data/ReportText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <optional>
#include <tuple>

namespace {

const qint32 kDirections[] = {1, -1, 0};

int yearOf(const QString &stored)
{
    return stored.left(4).toInt();
}

// Number order: parsed numbers by their parts, anything else after them as written.
bool numberBefore(const QString &a, const QString &b)
{
    const TLedgerNumber x = ParseLedgerNumber(a), y = ParseLedgerNumber(b);
    if (x.Valid != y.Valid)
        return x.Valid;
    if (!x.Valid)
        return a < b;
    return std::tie(x.Year, x.Sequence, x.Suffix) < std::tie(y.Year, y.Sequence, y.Suffix);
}

TContinuityRow continuityRow(const TClosingRow &r)
{
    TContinuityRow c;
    c.Id = r.Id;
    c.Direction = r.Direction;
    c.Number = r.Number;
    c.When = StoredDateTime(r.When);
    c.PassOn = r.PassOn;
    c.OriginFound = r.OriginFound;
    c.OriginDirection = r.OriginDirection;
    c.OriginNumber = r.OriginNumber;
    return c;
}

QJsonArray texts(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

QStringList texts(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &v : value.toArray())
        list << v.toString();
    return list;
}

} // namespace

qint64 TClosingFigures::TotalItems() const
{
    qint64 total = 0;
    for (const TDirectionFigures &d : Directions)
        total += d.Items;
    return total;
}

TClosingFigures ClosingFiguresOf(int year, const QList<TClosingRow> &rows)
{
    TClosingFigures figures;
    figures.Year = year;
    QList<TContinuityRow> continuity;
    for (const TClosingRow &r : rows)
        if (yearOf(r.When) == year)
            continuity << continuityRow(r);
    const QList<TContinuityFinding> findings = CheckContinuity(year, continuity);

    for (qint32 direction : kDirections) {
        TDirectionFigures d;
        d.Direction = direction;
        QStringList own;
        for (const TClosingRow &r : rows) {
            if (r.Direction != direction || yearOf(r.When) != year)
                continue;
            if (r.PassOn) {
                ++d.PassOnCopies;
                continue;
            }
            const TLedgerNumber n = ParseLedgerNumber(r.Number);
            if (n.Enclosure())
                ++d.Enclosures;
            else {
                ++d.Items;
                own << r.Number.trimmed();
            }
            if (r.Cancelled)
                d.Cancelled << r.Number.trimmed();
            if (!r.Archived)
                ++d.NotArchived;
        }
        std::sort(own.begin(), own.end(), numberBefore);
        std::sort(d.Cancelled.begin(), d.Cancelled.end(), numberBefore);
        if (!own.isEmpty()) {
            d.FirstNumber = own.first();
            d.LastNumber = own.last();
        }
        for (const TContinuityFinding &f : findings)
            if (f.Direction == direction && f.Kind == TContinuityKind::Missing)
                d.Missing << f.Numbers;
        figures.Directions << d;
    }
    return figures;
}

TClosingFigures ReadClosingFigures(TZConnection &connection, int year, const std::function<bool(qint64)> &readProgress)
{
    CheckLedgerYear(year);
    QList<TClosingRow> rows;
    std::optional<TReadProgress> shown;
    if (readProgress)
        shown.emplace(readProgress);
    ReadRows(connection,
             QStringLiteral("SELECT l.ledgeritemid, l.direction, l.ledgernumber, l.ledgerdatetime, l.passonparentid,"
                            " o.ledgeritemid, o.direction, o.ledgernumber, l.cancelled, l.archived"
                            " FROM ledgeritem AS l LEFT JOIN ledgeritem AS o ON o.ledgeritemid = l.passonparentid"
                            " WHERE l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?"),
             {TZConnection::DayStart(TZConnection::DateText(QDate(year, 1, 1))),
              TZConnection::DayEnd(TZConnection::DateText(QDate(year, 12, 31)))},
             [&rows](const TReadRow &r) {
                 TClosingRow row;
                 row.Id = r.Integer(0);
                 row.Direction = qint32(r.Integer(1));
                 row.Number = r.Text(2);
                 row.When = r.Text(3);
                 row.PassOn = !r.IsNull(4);
                 row.OriginFound = !r.IsNull(5);
                 row.OriginDirection = qint32(r.Integer(6));
                 row.OriginNumber = r.Text(7);
                 row.Cancelled = r.Text(8) == QLatin1String("y");
                 row.Archived = r.Text(9) == QLatin1String("y");
                 rows << row;
             });
    return ClosingFiguresOf(year, rows);
}

QByteArray ClosingFiguresJson(const TClosingFigures &figures)
{
    QJsonArray directions;
    for (const TDirectionFigures &d : figures.Directions)
        directions.append(QJsonObject{{QStringLiteral("direction"), d.Direction},
                                      {QStringLiteral("items"), d.Items},
                                      {QStringLiteral("first"), d.FirstNumber},
                                      {QStringLiteral("last"), d.LastNumber},
                                      {QStringLiteral("cancelled"), texts(d.Cancelled)},
                                      {QStringLiteral("missing"), texts(d.Missing)},
                                      {QStringLiteral("enclosures"), d.Enclosures},
                                      {QStringLiteral("passoncopies"), d.PassOnCopies},
                                      {QStringLiteral("notarchived"), d.NotArchived}});
    return QJsonDocument(QJsonObject{{QStringLiteral("year"), figures.Year}, {QStringLiteral("directions"), directions}})
        .toJson(QJsonDocument::Compact);
}

TClosingFigures ClosingFiguresFromJson(const QByteArray &json)
{
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    TClosingFigures figures;
    figures.Year = root.value(QStringLiteral("year")).toInt();
    for (const QJsonValue &v : root.value(QStringLiteral("directions")).toArray()) {
        const QJsonObject o = v.toObject();
        TDirectionFigures d;
        d.Direction = o.value(QStringLiteral("direction")).toInt();
        d.Items = o.value(QStringLiteral("items")).toInteger();
        d.FirstNumber = o.value(QStringLiteral("first")).toString();
        d.LastNumber = o.value(QStringLiteral("last")).toString();
        d.Cancelled = texts(o.value(QStringLiteral("cancelled")));
        d.Missing = texts(o.value(QStringLiteral("missing")));
        d.Enclosures = o.value(QStringLiteral("enclosures")).toInteger();
        d.PassOnCopies = o.value(QStringLiteral("passoncopies")).toInteger();
        d.NotArchived = o.value(QStringLiteral("notarchived")).toInteger();
        figures.Directions << d;
    }
    return figures;
}
