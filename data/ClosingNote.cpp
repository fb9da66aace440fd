#include "ClosingNote.h"

#include "DBIniFile.h"
#include "KException.h"
#include "PagedReport.h"
#include "ReportEngine.h"
#include "data/LedgerDMUnit.h"
#include "data/ReportFile.h"
#include "data/YearClosing.h"

#include <QPainter>
#include <memory>

namespace {

QString listOrNone(const QStringList &numbers)
{
    return numbers.isEmpty() ? QStringLiteral("nema") : numbers.join(QStringLiteral(", "));
}

// A book line stays on one printed line: long lists are cut.
QString shortList(const QStringList &numbers)
{
    constexpr int kShown = 12;
    if (numbers.size() <= kShown)
        return listOrNone(numbers);
    return numbers.mid(0, kShown).join(QStringLiteral(", ")) + QStringLiteral(" … (ukupno %1)").arg(numbers.size());
}

QString range(const TDirectionFigures &d)
{
    if (d.FirstNumber.isEmpty())
        return QStringLiteral("–");
    return d.FirstNumber == d.LastNumber ? d.FirstNumber : d.FirstNumber + QStringLiteral(" – ") + d.LastNumber;
}

QString when(const QDateTime &at)
{
    return at.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" u ") + at.toString(QStringLiteral("HH:mm"));
}

// The statement, then the signature lines and the seal between them.
void paintClosing(const TClosingNote &note, TReportCanvas &c, double y)
{
    QPainter &p = c.Painter;
    const double width = c.Size.width();
    p.setPen(Qt::black);
    p.setFont(ReportFont(9.5));
    p.drawText(QRectF(0, y + c.Mm(4), width, c.Mm(12)), Qt::AlignLeft | Qt::TextWordWrap, ClosingStatement(note));
    const double line = c.Mm(70);
    const struct
    {
        QString Caption, Name;
        double X;
    } sides[] = {{QStringLiteral("Zaključio"), note.ClosedBy, 0},
                 {QStringLiteral("Rukovodilac"), QString(), width - line}};
    for (const auto &side : sides) {
        p.setFont(ReportFont(9, true));
        p.drawText(QRectF(side.X, y + c.Mm(20), line, c.Mm(5)), Qt::AlignCenter, side.Caption);
        p.setPen(QPen(Qt::black, c.Mm(0.2)));
        p.drawLine(QPointF(side.X, y + c.Mm(37)), QPointF(side.X + line, y + c.Mm(37)));
        p.setFont(ReportFont(8));
        p.drawText(QRectF(side.X, y + c.Mm(38), line, c.Mm(5)), Qt::AlignCenter, side.Name);
    }
    p.setFont(ReportFont(10, true));
    p.drawText(QRectF(0, y + c.Mm(28), width, c.Mm(6)), Qt::AlignCenter, QStringLiteral("M.P."));
}

} // namespace

TClosingNote ClosingNoteOf(TZConnection &connection, const TClosingFigures &figures)
{
    TClosingNote note;
    note.Organization = ReportOrganization(connection);
    note.Unit = TDBIniFile(&connection)
                    .ReadString(TReportEngine::OrganizationSection, QStringLiteral("Unit"), QString())
                    .trimmed();
    note.Figures = figures;
    return note;
}

TClosingNote ClosedYearNote(TZConnection &connection, int year)
{
    const std::optional<TClosedYear> closed = ClosedYearRecord(connection, year);
    if (!closed)
        throw KException(QStringLiteral("Godina %1 nije zaključena.").arg(year));
    TClosingNote note = ClosingNoteOf(connection, closed->Figures);
    note.Figures.Year = year;
    note.Closed = true;
    note.ClosedAt = closed->ClosedAt;
    note.ClosedBy = closed->UserName;
    return note;
}

QList<QStringList> ClosingNoteRows(const TClosingFigures &figures)
{
    QList<QStringList> rows;
    for (const TDirectionFigures &d : figures.Directions) {
        rows << QStringList{GetDirectionCaption(d.Direction)};
        rows << QStringList{QStringLiteral("Stavki pod delovodnim brojem"), QString::number(d.Items)};
        rows << QStringList{QStringLiteral("Prvi i poslednji broj"), range(d)};
        rows << QStringList{QStringLiteral("Stornirani brojevi"), listOrNone(d.Cancelled)};
        rows << QStringList{QStringLiteral("Nedostajući brojevi"), listOrNone(d.Missing)};
        rows << QStringList{QStringLiteral("Prilozi"), QString::number(d.Enclosures)};
        rows << QStringList{QStringLiteral("Prosleđeni primerci"), QString::number(d.PassOnCopies)};
        rows << QStringList{QStringLiteral("Nije arhivirano"), QString::number(d.NotArchived)};
    }
    return rows;
}

QString ClosingStatement(const TClosingNote &note)
{
    const int year = note.Figures.Year;
    const qint64 items = note.Figures.TotalItems();
    if (!note.Closed)
        return QStringLiteral("Nacrt: delovodnik za %1. godinu još nije zaključen. Do sada je upisano %2 stavki pod "
                              "delovodnim brojem.")
            .arg(year)
            .arg(items);
    return QStringLiteral("Delovodnik za %1. godinu zaključen je %2 sa ukupno %3 stavki pod delovodnim brojem. "
                          "Zaključio: %4.")
        .arg(year)
        .arg(when(note.ClosedAt))
        .arg(items)
        .arg(note.ClosedBy);
}

TPagedReport ClosingNoteReport(const TClosingNote &note)
{
    TPagedReport report;
    report.Organization = note.Organization;
    report.Title = QStringLiteral("Zaključak delovodnika za %1. godinu").arg(note.Figures.Year);
    report.Subtitle = note.Unit;
    report.PrintedAt = QDateTime::currentDateTime();
    report.Captions = {QStringLiteral("Pokazatelj"), QStringLiteral("Vrednost")};
    report.Widths = {30, 70};
    report.FontPoints = 9;
    QList<QStringList> rows = ClosingNoteRows(note.Figures);
    auto shared = std::make_shared<QList<QStringList>>(rows);
    report.RowCount = rows.size();
    report.Row = [shared](qint64 i) {
        const QStringList &cells = (*shared)[qsizetype(i)];
        return TPagedReportRow{cells, cells.size() == 1, false};
    };
    auto kept = std::make_shared<TClosingNote>(note);
    report.Parts.ClosingMm = 46;
    report.Parts.Closing = [kept](TReportCanvas &c, double top) { paintClosing(*kept, c, top); };
    return report;
}

void SaveClosingNotePdf(const TClosingNote &note, const QString &fileName)
{
    if (!SavePagedReportPdf(ClosingNoteReport(note), fileName, {}))
        throw EAbort();
}

void PreviewClosingNote(const TClosingNote &note)
{
    PreviewPagedReport(ClosingNoteReport(note));
}

QStringList ClosingBookLines(TZConnection &connection, int year)
{
    const QList<TYearClosingEvent> log = YearClosingLog(connection, year);
    if (log.isEmpty())
        return {};
    QStringList lines{QString(), QStringLiteral("Zaključak delovodnika za %1. godinu").arg(year)};
    for (const TYearClosingEvent &e : log)
        lines << (e.Reopened ? QStringLiteral("Ponovo otvoren %1, otvorio: %2 (%3). Razlog: %4")
                                   .arg(when(e.At), e.UserName, e.HostName, e.Reason)
                             : QStringLiteral("Zaključen %1, zaključio: %2 (%3).").arg(when(e.At), e.UserName, e.HostName));
    const std::optional<TClosedYear> closed = ClosedYearRecord(connection, year);
    if (!closed) {
        lines << QStringLiteral("Godina je sada otvorena: knjiga nije konačna.");
        return lines;
    }
    for (const TDirectionFigures &d : closed->Figures.Directions)
        lines << QStringLiteral("%1: %2 stavki (%3); stornirani: %4; nedostaju: %5; priloga %6, prosleđenih "
                                "primeraka %7, nije arhivirano %8.")
                     .arg(GetDirectionCaption(d.Direction))
                     .arg(d.Items)
                     .arg(range(d), shortList(d.Cancelled), shortList(d.Missing))
                     .arg(d.Enclosures)
                     .arg(d.PassOnCopies)
                     .arg(d.NotArchived);
    lines << QStringLiteral("Zaključio: ______________________________          M.P.          "
                            "Rukovodilac: ______________________________");
    return lines;
}
