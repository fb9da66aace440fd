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
#include <map>
#include <optional>
#include <tuple>

namespace {

const qint32 kDirections[] = {1, -1, 0};

int yearOf(const QString &stored)
{
    return QStringView(stored).left(4).toInt();
}

// The stored form read by hand: a hundred thousand rows are read in a blink
// so, where parsing them by format takes seconds.
QDateTime storedWhen(const QString &stored)
{
    const QStringView v(stored);
    if (v.size() < 10)
        return StoredDateTime(stored);
    const QDate date(v.mid(0, 4).toInt(), v.mid(5, 2).toInt(), v.mid(8, 2).toInt());
    const QTime time = v.size() >= 19 ? QTime(v.mid(11, 2).toInt(), v.mid(14, 2).toInt(), v.mid(17, 2).toInt()) : QTime(0, 0);
    // As written, without the time zone's arithmetic: only the day is asked.
    return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : StoredDateTime(stored);
}

// A number with its parts, read once: number order compares the parts,
// and numbers that are not read so come after them as written.
struct Numbered
{
    TLedgerNumber Parts;
    QString Text;
    bool operator<(const Numbered &o) const
    {
        if (Parts.Valid != o.Parts.Valid)
            return Parts.Valid;
        if (!Parts.Valid)
            return Text < o.Text;
        return std::tie(Parts.Year, Parts.Sequence, Parts.Suffix) < std::tie(o.Parts.Year, o.Parts.Sequence, o.Parts.Suffix);
    }
};

TContinuityRow continuityRow(const TClosingRow &r)
{
    TContinuityRow c;
    c.Id = r.Id;
    c.Direction = r.Direction;
    c.Number = r.Number;
    c.When = storedWhen(r.When);
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
    struct Counting
    {
        TDirectionFigures Figures;
        std::optional<Numbered> First, Last;
        QList<Numbered> Cancelled;
    };
    std::map<qint32, Counting> byDirection;
    for (qint32 direction : kDirections)
        byDirection[direction].Figures.Direction = direction;
    QList<TContinuityRow> continuity;
    continuity.reserve(rows.size());
    for (const TClosingRow &r : rows) {
        if (yearOf(r.When) != year)
            continue;
        continuity << continuityRow(r);
        const auto it = byDirection.find(r.Direction);
        if (it == byDirection.end())
            continue;
        Counting &c = it->second;
        if (r.PassOn) {
            ++c.Figures.PassOnCopies;
            continue;
        }
        const Numbered number{ParseLedgerNumber(r.Number), r.Number.trimmed()};
        if (number.Parts.Enclosure()) {
            ++c.Figures.Enclosures;
        } else {
            ++c.Figures.Items;
            if (!c.First || number < *c.First)
                c.First = number;
            if (!c.Last || *c.Last < number)
                c.Last = number;
        }
        if (r.Cancelled)
            c.Cancelled << number;
        if (!r.Archived)
            ++c.Figures.NotArchived;
    }
    const QList<TContinuityFinding> findings = CheckContinuity(year, continuity);

    for (qint32 direction : kDirections) {
        Counting &c = byDirection[direction];
        TDirectionFigures &d = c.Figures;
        if (c.First) {
            d.FirstNumber = c.First->Text;
            d.LastNumber = c.Last->Text;
        }
        std::sort(c.Cancelled.begin(), c.Cancelled.end());
        for (const Numbered &n : c.Cancelled)
            d.Cancelled << n.Text;
        for (const TContinuityFinding &f : findings)
            if (f.Direction == direction && f.Kind == TContinuityKind::Missing)
                d.Missing << f.Numbers;
        figures.Directions << d;
    }
    return figures;
}

QList<TClosingRow> ReadClosingRows(TZConnection &connection, int year, const std::function<bool(qint64)> &readProgress)
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
    return rows;
}

TClosingFigures ReadClosingFigures(TZConnection &connection, int year, const std::function<bool(qint64)> &readProgress)
{
    return ClosingFiguresOf(year, ReadClosingRows(connection, year, readProgress));
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
