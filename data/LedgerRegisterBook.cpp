#include "LedgerRegisterBook.h"

#include "Dialogs.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "PagedReport.h"
#include "ServerWait.h"
#include "ZConnection.h"
#include "data/ClassificationPlan.h"
#include "data/ClosingNote.h"
#include "data/HistoryChain.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerNumber.h"
#include "ReadRows.h"
#include "data/ReportFile.h"
#include "data/ReportText.h"

#include <QHash>
#include <QScopeGuard>
#include <algorithm>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

namespace {

struct Entry
{
    qint64 Id = 0;
    qint64 PassOnParent = 0; // 0: registered directly
    bool Orphan = false;     // a copy of the year whose item was deleted: listed on its own
    qint32 Direction = 0;
    QString Number;          // as stored: the order's
    QString ShownNumber;     // as printed, in the data's script
    TLedgerNumber Parsed;
    QStringList Cells;       // as printed, the number's cell last filled in
    bool Cancelled = false;  // storno: keeps its number, marked so
    std::vector<int> Copies; // entries passed on from this one, oldest first
};

constexpr int kHeading = -1, kNone = -2;

// What the book prints, in print order: headings and entries.
struct Book
{
    std::vector<Entry> Entries;
    struct Line
    {
        int Entry = -1; // kHeading or kNone of Direction, else an entry
        qint32 Direction = 0;
        int Depth = 0;  // pass-on copies: how far from the registered item
    };
    std::vector<Line> Lines;
};

const QString kSql = QStringLiteral(
    "SELECT l.ledgeritemid, l.direction, l.ledgernumber, l.ledgerdatetime, p.name, l.itemtype, l.itemnumber,"
    " l.itemdate, l.inmailtype, l.inmailnumber, l.outmailtype, l.outmailnumber,"
    " CONCAT(u1.firstname,' ',u1.lastname), CONCAT(u3.firstname,' ',u3.lastname), l.archived, l.archivednumber,"
    " l.passonparentid, o.ledgeritemid,"
    " l.subject, l.classification, c.classificationid, c.retentionyears, l.orgunit,"
    " l.cancelled, l.cancelreason, CONCAT(u4.firstname,' ',u4.lastname), l.cancelledat"
    " FROM ledgeritem AS l"
    " LEFT JOIN classification AS c ON c.mark = l.classification"
    " LEFT JOIN user AS u4 ON u4.userid = l.cancelledby"
    " LEFT JOIN ledgeritem AS o ON o.ledgeritemid = l.passonparentid"
    " LEFT JOIN partner AS p ON p.partnerid = l.partnerid"
    " LEFT JOIN user AS u1 ON u1.userid = l.inuserid"
    " LEFT JOIN user AS u3 ON u3.userid = l.outuserid"
    // Copies are dated when passed on, which may be a later year than their item's.
    " WHERE ((l.passonparentid IS NULL AND l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?)"
    "   OR (l.passonparentid IS NOT NULL AND l.ledgerdatetime >= ?))"
    " AND l.direction IN (%1)");

// The book's own words in the cells, and the script of the data beside
// them, made on this thread: the rows are made into cells on the thread
// that stores them.
struct CellTexts
{
    QHash<int, QString> MailTypes;
    QString Received = UiText(u"Primljeno: ");
    QString Sent = UiText(u"Poslato: ");
    QString Cancelled = UiText(u"STORNIRANO: ");
    QString AdActa = UiText(u"a/a");
    TDataScript Script;

    explicit CellTexts(TDataScript script) : Script(script)
    {
        for (int code = 0; code <= 9; ++code)
            MailTypes.insert(code, UiText(GetMailTypeCaption(code)));
    }
    QString Data(const QString &text) const { return PrintedData(text, Script); }
};

QString mailText(const QString &label, const QVariant &type, const QString &number, const CellTexts &t)
{
    const QString text =
        JoinFilled({type.isNull() ? QString() : t.MailTypes.value(type.toInt()), t.Data(number)}, QStringLiteral(" "));
    return text.isEmpty() ? QString() : label + text;
}

// The mark with its retention as the plan has it: "011 / 10 god.".
QString classificationText(const TReadRow &r, const CellTexts &t)
{
    const QString mark = t.Data(r.Text(19).trimmed());
    if (mark.isEmpty() || r.IsNull(20))
        return mark;
    return mark + QStringLiteral(" / ")
           + RetentionShort(r.IsNull(21) ? std::nullopt : std::optional<int>(int(r.Integer(21))));
}

// Where the item was filed: its archive number, or "a/a" (ad acta) without one.
QString filingText(const TReadRow &r, const CellTexts &t)
{
    if (r.Text(14) != QLatin1String("y"))
        return {};
    const QString number = r.Text(15).trimmed();
    return number.isEmpty() ? t.AdActa : t.Data(number);
}

// The subject, and for a cancelled item why, by whom and when.
QString subjectText(const TReadRow &r, const CellTexts &t)
{
    const QString subject = t.Data(r.Text(18).trimmed());
    if (r.Text(23) != QLatin1String("y"))
        return subject;
    const QString who = JoinFilled({t.Data(r.Text(25)), DisplayDate(r.Value(26))}, QStringLiteral(", "));
    const QString cancelled = t.Cancelled + t.Data(r.Text(24).trimmed())
                              + (who.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(who));
    return JoinFilled({subject, cancelled}, QStringLiteral("\n"));
}

QStringList cells(const TReadRow &r, const CellTexts &t)
{
    const QString document = JoinFilled({t.Data(r.Text(6)), DisplayDate(r.Value(7))}, QStringLiteral(", "));
    const QString mail = JoinFilled({mailText(t.Received, r.Value(8), r.Text(9), t),
                                     mailText(t.Sent, r.Value(10), r.Text(11), t)},
                                    QStringLiteral("\n"));
    QStringList row{QString(), DisplayDate(r.Value(3)), subjectText(r, t), t.Data(r.Text(4)), t.Data(r.Text(5)),
                    document, classificationText(r, t), t.Data(r.Text(22).trimmed()), mail,
                    t.Data(r.Text(12).trimmed()), t.Data(r.Text(13).trimmed()), filingText(r, t)};
    return row;
}

Book readBook(TZConnection &connection, int year, const QList<qint32> &directions, const TRegisterBookPrint &print,
              const std::function<bool(qint64)> &readProgress)
{
    QVariantList params{TZConnection::DayStart(TZConnection::DateText(QDate(year, 1, 1))),
                        TZConnection::DayEnd(TZConnection::DateText(QDate(year, 12, 31))),
                        TZConnection::DayStart(TZConnection::DateText(QDate(year, 1, 1)))};
    QStringList marks;
    for (qint32 direction : directions) {
        params << direction;
        marks << QStringLiteral("?");
    }
    QString sql = kSql.arg(marks.join(u','));
    if (!print.Partner.trimmed().isEmpty())
        sql += QStringLiteral(" AND ")
               + connection.FoldedPrefixCondition(QStringLiteral("p.name"), print.Partner.trimmed(), params);
    Book book;
    {
        // A long year reads off this thread: the windows paint meanwhile.
        std::optional<TReadProgress> shown;
        if (readProgress)
            shown.emplace(readProgress);
        const CellTexts texts(print.DataScript);
        ReadRows(connection, sql, params, [&](const TReadRow &r) {
            Entry e;
            e.Id = r.Integer(0);
            e.Direction = qint32(r.Integer(1));
            e.Number = r.Text(2).trimmed();
            e.ShownNumber = texts.Data(e.Number);
            e.Parsed = ParseLedgerNumber(e.Number);
            e.PassOnParent = r.IsNull(16) ? 0 : r.Integer(16);
            e.Orphan = e.PassOnParent != 0 && r.IsNull(17) && StoredDateTime(r.Value(3)).date().year() == year;
            e.Cells = cells(r, texts);
            e.Cancelled = r.Text(23) == QLatin1String("y");
            book.Entries.push_back(std::move(e));
        });
    }
    QHash<qint64, int> byId;
    byId.reserve(qsizetype(book.Entries.size()));
    for (int i = 0; i < int(book.Entries.size()); ++i)
        byId.insert(book.Entries[size_t(i)].Id, i);

    // Registered items in number order; copies hang under what they came from.
    std::vector<int> registered;
    for (int i = 0; i < int(book.Entries.size()); ++i) {
        const Entry &e = book.Entries[size_t(i)];
        if (e.PassOnParent == 0 || e.Orphan)
            registered.push_back(i);
        else if (const auto it = byId.constFind(e.PassOnParent); it != byId.constEnd())
            book.Entries[size_t(*it)].Copies.push_back(i);
    }
    const auto byNumber = [&](int a, int b) {
        const Entry &x = book.Entries[size_t(a)], &y = book.Entries[size_t(b)];
        if (x.Parsed.Valid != y.Parsed.Valid)
            return x.Parsed.Valid;
        if (!x.Parsed.Valid)
            return std::tie(x.Number, x.Id) < std::tie(y.Number, y.Id);
        return std::tie(x.Parsed.Year, x.Parsed.Sequence, x.Parsed.Suffix, x.Id)
               < std::tie(y.Parsed.Year, y.Parsed.Sequence, y.Parsed.Suffix, y.Id);
    };
    std::stable_sort(registered.begin(), registered.end(), byNumber);
    for (Entry &e : book.Entries)
        std::sort(e.Copies.begin(), e.Copies.end());

    const bool headings = directions.size() > 1;
    std::vector<bool> seen(book.Entries.size()); // a loop in the copies' links cannot recur
    for (qint32 direction : directions) {
        if (headings)
            book.Lines.push_back({kHeading, direction, 0});
        const size_t before = book.Lines.size();
        for (int root : registered) {
            if (book.Entries[size_t(root)].Direction != direction)
                continue;
            // Depth first over the copies, oldest first.
            std::vector<std::pair<int, int>> stack{{root, 0}};
            while (!stack.empty()) {
                const auto [entry, depth] = stack.back();
                stack.pop_back();
                if (seen[size_t(entry)])
                    continue;
                seen[size_t(entry)] = true;
                book.Lines.push_back({entry, direction, depth});
                const std::vector<int> &copies = book.Entries[size_t(entry)].Copies;
                for (auto it = copies.rbegin(); it != copies.rend(); ++it)
                    stack.push_back({*it, depth + 1});
            }
        }
        if (headings && book.Lines.size() == before)
            book.Lines.push_back({kNone, direction, 0});
    }
    return book;
}

QString directionTitle(qint32 direction)
{
    const QString caption = GetDirectionCaption(direction);
    return caption.isEmpty() ? QString::number(direction) : UiText(caption);
}

} // namespace

TPagedReport RegisterBookReport(TZConnection &connection, int year, const TRegisterBookPrint &print,
                                const std::function<bool(qint64 rows)> &readProgress)
{
    const QList<qint32> &chosen = print.Directions;
    CheckLedgerYear(year);
    QList<qint32> directions;
    for (qint32 direction : {1, -1, 0})
        if (chosen.isEmpty() || chosen.contains(direction))
            directions << direction;
    for (qint32 direction : chosen)
        if (!directions.contains(direction))
            throw KException(UiText(u"Tip %1 ne postoji; tipovi su ulazni, izlazni i interni.").arg(direction));

    auto book = std::make_shared<Book>(readBook(connection, year, directions, print, readProgress));
    qint64 items = 0, enclosures = 0, copies = 0;
    for (const Book::Line &line : book->Lines) {
        if (line.Entry == kHeading || line.Entry == kNone)
            continue;
        const Entry &e = book->Entries[size_t(line.Entry)];
        if (e.PassOnParent != 0)
            ++copies;
        else if (e.Parsed.Enclosure())
            ++enclosures;
        else
            ++items;
    }

    TPagedReport report;
    report.Organization = PrintedOrganization(connection, print.DataScript);
    report.Title = UiText(u"Delovodnik za %1. godinu").arg(year);
    QStringList names;
    for (qint32 direction : directions)
        names << directionTitle(direction);
    report.Subtitle = (directions.size() > 1 ? UiText(u"Tipovi: ") : UiText(u"Tip: ")) + names.join(QStringLiteral(", "));
    if (!print.Partner.trimmed().isEmpty())
        report.Subtitle += UiText(u"; partner: %1…").arg(PrintedData(print.Partner.trimmed(), print.DataScript));
    report.PrintedAt = QDateTime::currentDateTime();
    report.Captions = {UiText(u"Delovodni broj"), UiText(u"Datum"), UiText(u"Predmet"),
                       UiText(u"Partner"), UiText(u"Vrsta dokumenta"), UiText(u"Broj i datum dokumenta"),
                       UiText(u"Klas. oznaka"), UiText(u"Org. jedinica"),
                       UiText(u"Primljeno / poslato"), UiText(u"Upućeno od"),
                       UiText(u"Namenjeno"), UiText(u"Arhivirano")};
    // The last title is wider in bold Cyrillic ("Архивирано") than in Latin.
    report.Widths = {10, 9, 16, 13, 9, 10, 10, 9, 12, 9, 9, 10};
    report.EmptyText = UiText(u"U ovoj godini nema upisanih stavki.");
    report.Closing = {UiText(u"Ukupno stavki: %1").arg(items + enclosures),
                      UiText(u"Od toga priloga: %1. Uz to prosleđenih primeraka (bez novog broja): %2")
                          .arg(enclosures)
                          .arg(copies)};
    if (copies > 0)
        report.Closing << UiText(u"↳ označava prosleđeni primerak: stavku predatu sledećem zaposlenom pod istim brojem.");
    // A closed year's book ends with its closing note.
    report.Closing << ClosingBookLines(connection, year);
    // The history's head on paper: a book rewritten since no longer matches it.
    report.Closing << ReadHistoryChainHead(connection).Text();
    report.RowCount = qint64(book->Lines.size());
    const QString none = UiText(u"Nema upisanih stavki."), orphan = UiText(u"\n(prosleđena, izvorna stavka obrisana)"),
                  storno = UiText(u"\nSTORNO");
    report.Row = [book, none, orphan, storno](qint64 i) {
        const Book::Line &line = book->Lines[size_t(i)];
        TPagedReportRow row;
        if (line.Entry == kHeading) {
            row.Section = true;
            row.Cells = {directionTitle(line.Direction)};
            return row;
        }
        if (line.Entry == kNone) {
            row.Secondary = true;
            row.Cells = {QString(), QString(), none};
            return row;
        }
        const Entry &e = book->Entries[size_t(line.Entry)];
        row.Cells = e.Cells;
        // A copy is marked, and indented by how often it was passed on.
        row.Cells[0] = line.Depth == 0 ? e.ShownNumber
                                        : QString(2 * (line.Depth - 1), u' ') + QStringLiteral("↳ ") + e.ShownNumber;
        if (e.Orphan)
            row.Cells[0] += orphan;
        if (e.Cancelled)
            row.Cells[0] += storno;
        row.Secondary = line.Depth > 0 || e.Orphan;
        return row;
    };
    return report;
}

bool SaveRegisterBook(TZConnection &connection, int year, const TRegisterBookPrint &print, const QString &fileName,
                      const std::function<bool(qint64, qint64)> &progress)
{
    std::function<bool(qint64)> reading;
    if (progress)
        reading = [&progress](qint64 rows) { return progress(rows, 0); };
    TPagedReport report;
    try {
        report = RegisterBookReport(connection, year, print, reading);
    } catch (const EAbort &) {
        return false; // cancelled while reading: no file was begun
    }
    return SavePagedReportPdf(report, fileName, progress);
}

void PreviewRegisterBook(TZConnection &connection, int year, const TRegisterBookPrint &print)
{
    TPagedReport report;
    {
        bool shown = false;
        const auto ended = qScopeGuard([&shown] {
            if (shown)
                Dialogs().TaskProgressEnded();
        });
        report = RegisterBookReport(connection, year, print, [&shown](qint64 rows) {
            shown = true;
            return Dialogs().TaskProgress(LoadedRowsText(rows), rows, 0);
        });
    }
    PreviewPagedReport(report, UiText(u"Stranice delovodnika se pripremaju…"));
}
