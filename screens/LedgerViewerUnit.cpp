#include "LedgerViewerUnit.h"

#include "DBGrid.h"
#include "Dialogs.h"
#include "Guard.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/ProceedingUnit.h"

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QStyle>
#include <QToolButton>
#include <memory>

std::function<QDateTime()> TLedgerViewerForm::Now = [] { return QDateTime::currentDateTime(); };

namespace {

// Ten 16x16 pictures of the list's actions, drawn once.
const QColor kInk(0x30, 0x30, 0x30);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kCalendarTop(0xc0, 0x39, 0x2b);

QImage blankImage()
{
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void drawPage(QPainter &p)
{
    p.setPen(QColor(0x70, 0x70, 0x70));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygon({QPoint(2, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(2, 14)}));
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void drawPageLines(QPainter &p)
{
    p.setPen(QColor(0x9a, 0xa8, 0xb8));
    for (int y = 6; y <= 12; y += 2)
        p.drawLine(4, y, 11, y);
}

// A wall calendar: red header with two rings, white sheet with a 4x3 day grid.
void drawCalendar(QPainter &p)
{
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.setBrush(kPaper);
    p.drawRect(1, 2, 13, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(kCalendarTop);
    p.drawRect(2, 3, 12, 3);
    p.setPen(kInk);
    p.drawLine(4, 1, 4, 3);
    p.drawLine(11, 1, 11, 3);
    p.setPen(QColor(0xb0, 0xb0, 0xb0));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawPoint(3 + col * 3, 8 + row * 2);
}

void drawPlus(QPainter &p, int cx, int cy)
{
    p.setPen(QColor(0x1e, 0x6b, 0x1e));
    p.setBrush(QColor(0x3c, 0xb0, 0x3c));
    p.drawPolygon(QPolygon({QPoint(cx - 1, cy - 4), QPoint(cx + 1, cy - 4), QPoint(cx + 1, cy - 1), QPoint(cx + 4, cy - 1),
                            QPoint(cx + 4, cy + 1), QPoint(cx + 1, cy + 1), QPoint(cx + 1, cy + 4), QPoint(cx - 1, cy + 4),
                            QPoint(cx - 1, cy + 1), QPoint(cx - 4, cy + 1), QPoint(cx - 4, cy - 1), QPoint(cx - 1, cy - 1)}));
}

QImage viewerImage(int index)
{
    QImage img = blankImage();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (index) {
    case 0: // add: a page with a green plus
        drawPage(p);
        drawPageLines(p);
        drawPlus(p, 11, 11);
        break;
    case 1: // edit: a page with a pencil across it
        drawPage(p);
        drawPageLines(p);
        p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 1));
        p.setBrush(QColor(0xf0, 0xb4, 0x28));
        p.drawPolygon(QPolygon({QPoint(13, 4), QPoint(15, 6), QPoint(8, 13), QPoint(6, 11)}));
        p.setPen(kInk);
        p.drawLine(5, 14, 6, 14);
        p.drawPoint(5, 13);
        break;
    case 2: { // delete: a red cross
        QPen pen(QColor(0xc6, 0x28, 0x28), 3, Qt::SolidLine, Qt::SquareCap);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(pen);
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    }
    case 3: // spare: an empty page
        drawPage(p);
        break;
    case 4: // spare: a page of text
        drawPage(p);
        drawPageLines(p);
        break;
    case 5: // today: one day marked
        drawCalendar(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x5f, 0xbf));
        p.drawEllipse(QPoint(8, 10), 2, 2);
        break;
    case 6: // this week: one row of days marked
        drawCalendar(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x5f, 0xbf));
        p.drawRect(2, 9, 12, 3);
        break;
    case 7: // spare: a plain calendar
        drawCalendar(p);
        break;
    case 8: // handover record: a clipboard
        p.setPen(QColor(0x5a, 0x3a, 0x1a));
        p.setBrush(QColor(0xb0, 0x7a, 0x3c));
        p.drawRect(2, 2, 11, 13);
        p.setPen(QColor(0x70, 0x70, 0x70));
        p.setBrush(kPaper);
        p.drawRect(4, 4, 7, 9);
        p.setPen(QColor(0x50, 0x50, 0x50));
        p.setBrush(QColor(0xc8, 0xc8, 0xc8));
        p.drawRect(5, 1, 5, 2);
        p.setPen(QColor(0x9a, 0xa8, 0xb8));
        for (int y = 6; y <= 11; y += 2)
            p.drawLine(5, y, 10, y);
        break;
    case 9: // this month: the whole sheet marked
        drawCalendar(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x5f, 0xbf));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.drawRect(2 + col * 3, 7 + row * 2, 2, 1);
        break;
    default:
        break;
    }
    return img;
}


QAction *makeAction(QWidget *owner, const char *name, const QString &caption, const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

// Shows the items of [fromDate, toDate], whole days, in place of the
// query's previous condition.
void SetDateFilter(const QDate &fromDate, const QDate &toDate)
{
    TZQuery *query = LedgerDM->LedgerItemZQ;
    if (query->Active())
        query->Close();
    query->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?")),
                  {TZConnection::DayStart(TZConnection::DateText(fromDate)),
                   TZConnection::DayEnd(TZConnection::DateText(toDate))});
    query->Open();
}

} // namespace

TLedgerViewerForm::TLedgerViewerForm(QWidget *owner)
    : TCustomViewerForm(owner),
      CustomAdd(makeAction(this, "CustomAdd", QStringLiteral("Dodaj"), QKeySequence(Qt::CTRL | Qt::Key_Insert))),
      CustomEdit(makeAction(this, "CustomEdit", QStringLiteral("Uredi"), QKeySequence(Qt::CTRL | Qt::Key_Return))),
      CustomDelete(makeAction(this, "CustomDelete", QStringLiteral("Izbriši"), QKeySequence(Qt::CTRL | Qt::Key_Delete))),
      TodayAction(makeAction(this, "TodayAction", QStringLiteral("Danas"), QKeySequence(Qt::CTRL | Qt::Key_D))),
      ThisWeekAction(makeAction(this, "ThisWeekAction", QStringLiteral("Ove nedelje"), QKeySequence(Qt::CTRL | Qt::Key_N))),
      ThisMonthAction(makeAction(this, "ThisMonthAction", QStringLiteral("Ovog meseca"), QKeySequence(Qt::CTRL | Qt::Key_M))),
      ProceedingAction(makeAction(this, "ProceedingAction", QStringLiteral("Zapisnik"), QKeySequence(Qt::CTRL | Qt::Key_Z)))
{
    setObjectName(QStringLiteral("LedgerViewerForm"));
    // Enter on the keypad as well as Return.
    CustomEdit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});

    ImageList.clear();
    for (int i = 0; i < 10; ++i)
        ImageList << QIcon(QPixmap::fromImage(viewerImage(i)));

    DBG->SetDataSource(LedgerDM->LedgerItemDS);
    const struct
    {
        const char *Field;
        int Width; // at 8 pt; 0: fits a date and time
    } columns[] = {
        {"direction", 68},  {"ledgernumber", 72}, {"ledgerdatetime", 0}, {"partnername", 72}, {"itemtype", 72},
        {"itemdate", 72},   {"itemnumber", 72},   {"inusername", 100},   {"username", 100},   {"outusername", 72},
    };
    // The widths were chosen for an 8 pt font. Where a title would not fit
    // they all grow by the same factor, keeping their proportions.
    const QHeaderView *titles = DBG->horizontalHeader();
    const int titleMargin = 2 * titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles) + 4;
    const auto titleWidth = [&](const char *field) {
        return titles->fontMetrics().horizontalAdvance(LedgerDM->LedgerItemZQ->FieldByName(QLatin1String(field)).DisplayLabel())
               + titleMargin;
    };
    double scale = 1.0;
    for (const auto &c : columns)
        if (c.Width > 0)
            scale = qMax(scale, double(titleWidth(c.Field)) / c.Width);
    QList<TColumn> gridColumns;
    for (const auto &c : columns) {
        TColumn column;
        column.FieldName = QLatin1String(c.Field);
        // Given here: the grid reads labels from fields only while the query is open.
        column.Title = LedgerDM->LedgerItemZQ->FieldByName(column.FieldName).DisplayLabel();
        // The date-time column is as wide as a full date and time.
        column.Width = c.Width > 0 ? qRound(c.Width * scale)
                                   : qMax(titleWidth(c.Field),
                                          DBG->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000 00:00:00")) + 12);
        gridColumns << column;
    }
    // A code shown as its caption reads as text.
    gridColumns[0].Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    DBG->SetColumns(gridColumns);

    const std::pair<QAction *, int> images[] = {
        {CustomAdd, 0},      {CustomEdit, 1},      {CustomDelete, 2},     {TodayAction, 5},
        {ThisWeekAction, 6}, {ThisMonthAction, 9}, {ProceedingAction, 8},
    };
    for (const auto &[action, image] : images) {
        action->setIcon(ImageList.at(image));
        AddAction(action);
    }
    ConnectGuarded(CustomAdd, [this] { CustomAddExecute(); });
    ConnectGuarded(CustomEdit, [this] { CustomEditExecute(); });
    ConnectGuarded(CustomDelete, [this] { CustomDeleteExecute(); });
    ConnectGuarded(TodayAction, [this] { TodayActionExecute(); });
    ConnectGuarded(ThisWeekAction, [this] { ThisWeekActionExecute(); });
    ConnectGuarded(ThisMonthAction, [this] { ThisMonthActionExecute(); });
    ConnectGuarded(ProceedingAction, [this] { ProceedingActionExecute(); });

    AddToolButton(CustomAdd);
    AddToolButton(CustomEdit);
    AddToolButton(CustomDelete);
    AddToolSeparator(8);
    AddToolButton(TodayAction);
    AddToolButton(ThisWeekAction);
    AddToolButton(ThisMonthAction);
    // The last button keeps the toolbar's button width, unless its caption needs more.
    if (QToolButton *button = AddToolButton(ProceedingAction))
        button->setFixedWidth(qMax(61, button->sizeHint().width()));

    // The base already holds ColumnsVisibility; it goes to the bottom.
    PopupMenu->removeAction(ColumnsVisibility);
    for (QAction *action : {CustomAdd, CustomEdit, CustomDelete})
        AddPopupItem(action);
    AddPopupSeparator();
    for (QAction *action : {TodayAction, ThisWeekAction, ThisMonthAction, ProceedingAction})
        AddPopupItem(action);
    AddPopupSeparator();
    AddPopupItem(ColumnsVisibility);

    EnableCommands();
}

TLedgerViewerForm::~TLedgerViewerForm() = default;

void TLedgerViewerForm::CustomAddExecute()
{
    TZQuery *query = LedgerDM->LedgerItemZQ;
    if (!query->Active())
        query->Open();
    query->Append();
    CustomEdit->trigger();
}

void TLedgerViewerForm::CustomEditExecute()
{
    // An open but empty list still gets the form: it shows the new row after Dodaj.
    if (!LedgerDM->LedgerItemZQ->Active())
        return;
    auto form = std::make_unique<TLedgerDetailForm>(this);
    Dialogs().ShowModal(*form);
}

void TLedgerViewerForm::CustomDeleteExecute()
{
    // The data module's rules and the common confirmation decide; no question here.
    TZQuery *query = LedgerDM->LedgerItemZQ;
    if (query->Active() && !(query->Bof() && query->Eof()))
        query->Delete();
}

void TLedgerViewerForm::TodayActionExecute()
{
    const QDate today = Now().date();
    SetDateFilter(today, today);
}

void TLedgerViewerForm::ThisWeekActionExecute()
{
    // Weeks run Monday to Sunday.
    const QDate today = Now().date();
    const QDate from = today.addDays(-(today.dayOfWeek() - 1));
    SetDateFilter(from, from.addDays(6));
}

void TLedgerViewerForm::ThisMonthActionExecute()
{
    const QDate today = Now().date();
    const QDate from(today.year(), today.month(), 1);
    SetDateFilter(from, from.addMonths(1).addDays(-1));
}

void TLedgerViewerForm::ProceedingActionExecute()
{
    auto form = std::make_unique<TProceedingForm>(this);
    Dialogs().ShowModal(*form);
}

void TLedgerViewerForm::DBGDblClick()
{
    TCustomViewerForm::DBGDblClick();
    const TDBGrid::TGridCoord cell = DBG->CellAt(DBG->mapFromGlobal(QCursor::pos()));
    // A double click on a column title is no request to edit; one below the
    // last row is.
    if (cell.Row == 0)
        return;
    TZQuery *query = LedgerDM->LedgerItemZQ;
    if (query->Active() && !query->IsEmpty())
        CustomEdit->trigger();
}
