#include "ClosingNote.h"

#include "DBIniFile.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "PagedReport.h"
#include "ReportEngine.h"
#include "data/LedgerDMUnit.h"
#include "data/ReportFile.h"
#include "data/YearClosing.h"

#include <QPainter>
#include <functional>
#include <memory>

namespace {

QString listOrNone(const QStringList &numbers)
{
    return numbers.isEmpty() ? UiText(u"nema") : numbers.join(QStringLiteral(", "));
}

// A book line stays on one printed line: long lists are cut.
QString shortList(const QStringList &numbers)
{
    constexpr int kShown = 12;
    if (numbers.size() <= kShown)
        return listOrNone(numbers);
    return numbers.mid(0, kShown).join(QStringLiteral(", ")) + UiText(u" … (ukupno %1)").arg(numbers.size());
}

QString range(const TDirectionFigures &d)
{
    if (d.FirstNumber.isEmpty())
        return QStringLiteral("–");
    return d.FirstNumber == d.LastNumber ? d.FirstNumber : d.FirstNumber + QStringLiteral(" – ") + d.LastNumber;
}

// "1 stavka", "3 stavke", "5 stavki".
QString itemsText(qint64 n)
{
    const qint64 tens = n % 100, units = n % 10;
    const char16_t *word = (tens >= 11 && tens <= 14) ? u"stavki"
                           : units == 1                 ? u"stavka"
                           : (units >= 2 && units <= 4) ? u"stavke"
                                                        : u"stavki";
    return QStringLiteral("%1 %2").arg(n).arg(UiText(word));
}

QString when(const QDateTime &at)
{
    return at.toString(QStringLiteral("dd.MM.yyyy")) + UiText(u" u ") + at.toString(QStringLiteral("HH:mm"));
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
    } sides[] = {{UiText(u"Zaključio"), note.ClosedBy, 0},
                 {UiText(u"Rukovodilac"), QString(), width - line}};
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
    note.Organization = PrintedOrganization(connection);
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
        throw KException(UiText(u"Godina %1 nije zaključena.").arg(year));
    TClosingNote note = ClosingNoteOf(connection, closed->Figures);
    note.Figures.Year = year;
    note.Closed = true;
    note.ClosedAt = closed->ClosedAt;
    note.ClosedBy = closed->UserName;
    return note;
}

QStringList ClosingNoteCaptions(const TClosingFigures &figures)
{
    QStringList captions{UiText(u"Pokazatelj")};
    for (const TDirectionFigures &d : figures.Directions)
        captions << ShownCaption(GetDirectionCaption(d.Direction));
    return captions;
}

QList<QStringList> ClosingNoteRows(const TClosingFigures &figures)
{
    const std::pair<QString, std::function<QString(const TDirectionFigures &)>> rows[] = {
        {UiText(u"Stavki pod delovodnim brojem"), [](const TDirectionFigures &d) { return QString::number(d.Items); }},
        {UiText(u"Prvi i poslednji broj"), range},
        {UiText(u"Stornirani brojevi"), [](const TDirectionFigures &d) { return listOrNone(d.Cancelled); }},
        {UiText(u"Nedostajući brojevi"), [](const TDirectionFigures &d) { return listOrNone(d.Missing); }},
        {UiText(u"Prilozi"), [](const TDirectionFigures &d) { return QString::number(d.Enclosures); }},
        {UiText(u"Prosleđeni primerci"), [](const TDirectionFigures &d) { return QString::number(d.PassOnCopies); }},
        {UiText(u"Nije arhivirano"), [](const TDirectionFigures &d) { return QString::number(d.NotArchived); }},
    };
    QList<QStringList> table;
    for (const auto &[label, value] : rows) {
        QStringList cells{label};
        for (const TDirectionFigures &d : figures.Directions)
            cells << value(d);
        table << cells;
    }
    return table;
}

QString ClosingStatement(const TClosingNote &note)
{
    const int year = note.Figures.Year;
    const qint64 items = note.Figures.TotalItems();
    if (!note.Closed)
        return UiText(u"Nacrt: delovodnik za %1. godinu još nije zaključen. Pod delovodnim brojem je do sada "
                              u"upisano: %2.")
            .arg(year)
            .arg(itemsText(items));
    return UiText(u"Delovodnik za %1. godinu zaključen je %2. Pod delovodnim brojem upisano: %3. "
                          u"Zaključio: %4.")
        .arg(year)
        .arg(when(note.ClosedAt), itemsText(items), note.ClosedBy);
}

TPagedReport ClosingNoteReport(const TClosingNote &note)
{
    TPagedReport report;
    report.Organization = note.Organization;
    report.Title = UiText(u"Zaključak delovodnika za %1. godinu").arg(note.Figures.Year);
    report.Subtitle = note.Unit;
    report.PrintedAt = QDateTime::currentDateTime();
    report.Captions = ClosingNoteCaptions(note.Figures);
    report.Widths = {22, 26, 26, 26};
    report.FontPoints = 9;
    SetReportRows(report, ClosingNoteRows(note.Figures));
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
    QStringList lines{QString(), UiText(u"Zaključak delovodnika za %1. godinu").arg(year)};
    for (const TYearClosingEvent &e : log)
        lines << (e.Reopened ? UiText(u"Ponovo otvoren %1, otvorio: %2 (%3). Razlog: %4")
                                   .arg(when(e.At), e.UserName, e.HostName, e.Reason)
                             : UiText(u"Zaključen %1, zaključio: %2 (%3).").arg(when(e.At), e.UserName, e.HostName));
    const std::optional<TClosedYear> closed = ClosedYearRecord(connection, year);
    if (!closed) {
        lines << UiText(u"Godina je sada otvorena: knjiga nije konačna.");
        return lines;
    }
    for (const TDirectionFigures &d : closed->Figures.Directions)
        lines << UiText(u"%1: %2 (%3); stornirani: %4; nedostaju: %5; priloga %6, prosleđenih "
                                u"primeraka %7, nije arhivirano %8.")
                     .arg(ShownCaption(GetDirectionCaption(d.Direction)), itemsText(d.Items), range(d), shortList(d.Cancelled),
                          shortList(d.Missing))
                     .arg(d.Enclosures)
                     .arg(d.PassOnCopies)
                     .arg(d.NotArchived);
    lines << UiText(u"Zaključio: ______________________________          M.P.          "
                            u"Rukovodilac: ______________________________");
    return lines;
}
