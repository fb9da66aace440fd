#include "LedgerViewerUnit.h"

#include "Clock.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "GridExport.h"
#include "Guard.h"
#include "Help.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "ReportEngine.h"
#include "ZQuery.h"
#include "data/ItemDocumentText.h"
#include "data/LedgerDMUnit.h"
#include "data/ReportFile.h"
#include "data/TextSearch.h"
#include "screens/CancelItemDialog.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerHelpContexts.h"
#include "screens/LedgerRegisterActions.h"
#include "screens/HandoverBookDialog.h"
#include "screens/IntakeDesk.h"
#include "screens/YearClosingActions.h"
#include "screens/ProceedingUnit.h"
#include "screens/StampPrint.h"

#include <QAction>
#include <QCursor>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <memory>
#include <tuple>

namespace {

QAction *makeAction(QWidget *owner, const char *name, const QString &caption, const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

// The page of the list's pictures struck through, as a cancelled row is.
QIcon struckPageIcon()
{
    QPixmap page(QStringLiteral(":/ledger/icons/page-text.png"));
    QPainter painter(&page);
    painter.setPen(QPen(QColor(190, 30, 30), 2));
    painter.drawLine(1, 8, 15, 8);
    return QIcon(page);
}

} // namespace

TLedgerViewerForm::TLedgerViewerForm(QWidget *owner)
    : TCustomViewerForm(owner),
      CustomAdd(makeAction(this, "CustomAdd", UiText(u"Dodaj"), QKeySequence(Qt::CTRL | Qt::Key_Insert))),
      CustomEdit(makeAction(this, "CustomEdit", UiText(u"Uredi"), QKeySequence(Qt::CTRL | Qt::Key_Return))),
      CustomDelete(makeAction(this, "CustomDelete", UiText(u"Izbriši"), QKeySequence(Qt::CTRL | Qt::Key_Delete))),
      TodayAction(makeAction(this, "TodayAction", UiText(u"Danas"), QKeySequence(Qt::CTRL | Qt::Key_D))),
      ThisWeekAction(makeAction(this, "ThisWeekAction", UiText(u"Ove nedelje"), QKeySequence(Qt::CTRL | Qt::Key_N))),
      ThisMonthAction(makeAction(this, "ThisMonthAction", UiText(u"Ovog meseca"), QKeySequence(Qt::CTRL | Qt::Key_M))),
      ProceedingAction(makeAction(this, "ProceedingAction", UiText(u"Zapisnik"), QKeySequence(Qt::CTRL | Qt::Key_Z))),
      PrintListAction(makeAction(this, "PrintListAction", UiText(u"Štampa liste"), QKeySequence(Qt::CTRL | Qt::Key_P))),
      ExportCsvAction(makeAction(this, "ExportCsvAction", UiText(u"Izvoz u CSV…"), QKeySequence(Qt::CTRL | Qt::Key_E))),
      FItems(new TLedgerItems(*LedgerDM, this))
{
    setObjectName(QStringLiteral("LedgerViewerForm"));
    SetHelpContext(this, LedgerListHelp);
    // Enter on the keypad as well as Return.
    CustomEdit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    loadImages();
    setUpGrid();
    bindActions();
    fillToolbar();
    fillPopupMenu();
    addCancelling();
    addStamp();
    AddHandoverBookAction(*this);
    AddRegisterActions(*this);
    AddYearClosingActions(*this);
    AddIntakeDesk(*this);
    EnableCommands();
}

// The ten pictures of the classic image list, by index; 3, 4 and 7 are spare.
void TLedgerViewerForm::loadImages()
{
    static const char *const names[] = {"add",   "edit", "delete",   "page",     "page-text",
                                        "today", "week", "calendar", "handover", "month"};
    ImageList.clear();
    for (const char *name : names)
        ImageList << QIcon(QStringLiteral(":/ledger/icons/%1.png").arg(QLatin1String(name)));
}

void TLedgerViewerForm::setUpGrid()
{
    DBG->SetDataSource(FItems->LedgerItemDS);
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
        return titles->fontMetrics().horizontalAdvance(FItems->LedgerItemZQ->FieldByName(QLatin1String(field)).DisplayLabel())
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
        column.Title = FItems->LedgerItemZQ->FieldByName(column.FieldName).DisplayLabel();
        // The date-time column is as wide as a full date and time.
        column.Width = c.Width > 0 ? qRound(c.Width * scale)
                                   : qMax(titleWidth(c.Field),
                                          DBG->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000 00:00:00")) + 12);
        gridColumns << column;
    }
    // The register's columns are offered in the titles' menu ("Kolone..."),
    // hidden at first: with them the list no longer fits 1024 pixels
    // without cutting the partner's name. A cancelled row shows itself
    // struck through, its reason in the tooltip.
    const struct
    {
        const char *Field;
        const char16_t *Title;
        int Width;
    } registerColumns[] = {{"subject", u"Predmet", 240},       {"classification", u"Klas. oznaka", 80},
                           {"orgunit", u"Org. jedinica", 120}, {"cancelled", u"Stornirano", 80},
                           {"cancelreason", u"Razlog storniranja", 160}};
    for (const auto &c : registerColumns) {
        TColumn column;
        column.FieldName = QLatin1String(c.Field);
        column.Title = UiText(c.Title);
        column.Width = qRound(c.Width * scale);
        column.Visible = false;
        gridColumns << column;
    }
    // A code shown as its caption reads as text.
    gridColumns[0].Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    DBG->SetColumns(gridColumns);
    DBG->SetSortOnTitleClick(true);
}

void TLedgerViewerForm::bindActions()
{
    using Handler = void (TLedgerViewerForm::*)();
    const std::tuple<QAction *, int, Handler> actions[] = {
        {CustomAdd, 0, &TLedgerViewerForm::CustomAddExecute},
        {CustomEdit, 1, &TLedgerViewerForm::CustomEditExecute},
        {CustomDelete, 2, &TLedgerViewerForm::CustomDeleteExecute},
        {TodayAction, 5, &TLedgerViewerForm::TodayActionExecute},
        {ThisWeekAction, 6, &TLedgerViewerForm::ThisWeekActionExecute},
        {ThisMonthAction, 9, &TLedgerViewerForm::ThisMonthActionExecute},
        {ProceedingAction, 8, &TLedgerViewerForm::ProceedingActionExecute},
        {PrintListAction, 3, &TLedgerViewerForm::PrintListActionExecute},
        {ExportCsvAction, 4, &TLedgerViewerForm::ExportCsvActionExecute},
    };
    for (const auto &[action, image, handler] : actions) {
        action->setIcon(ImageList.at(image));
        AddAction(action);
        ConnectGuarded(action, [this, handler = handler] { (this->*handler)(); });
    }
}

void TLedgerViewerForm::fillToolbar()
{
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
    // Icons only: with their captions the toolbar would not fit 1024 pixels.
    // The captions are in the menus and the tooltips.
    AddToolSeparator(8);
    for (QAction *action : {PrintListAction, ExportCsvAction}) {
        action->setToolTip(action->text() + QStringLiteral(" (") + action->shortcut().toString(QKeySequence::NativeText)
                           + u')');
        AddToolButton(action, false);
    }
}

void TLedgerViewerForm::fillPopupMenu()
{
    // The base already holds ColumnsVisibility; it goes to the bottom.
    PopupMenu->removeAction(ColumnsVisibility);
    for (QAction *action : {CustomAdd, CustomEdit, CustomDelete})
        AddPopupItem(action);
    AddPopupSeparator();
    for (QAction *action : {TodayAction, ThisWeekAction, ThisMonthAction, ProceedingAction})
        AddPopupItem(action);
    AddPopupSeparator();
    for (QAction *action : {PrintListAction, ExportCsvAction})
        AddPopupItem(action);
    AddPopupSeparator();
    AddPopupItem(ColumnsVisibility);
}

TLedgerViewerForm::~TLedgerViewerForm()
{
    // The grid lets go of the rows before they go.
    DBG->SetDataSource(nullptr);
}

// The new item is made in a form of its own; once stored it shows in the
// list in its sorted place and becomes the current row.
void TLedgerViewerForm::CustomAddExecute()
{
    auto items = LedgerDM->NewLedgerItems();
    items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
    items->LedgerItemZQ->Append();
    auto form = std::make_unique<TLedgerDetailForm>(this, std::move(items));
    Dialogs().ShowModal(*form);
    showStored(form->LedgerItemID());
}

void TLedgerViewerForm::CustomEditExecute()
{
    TZQuery *query = FItems->LedgerItemZQ;
    if (!query->Active() || query->IsEmpty())
        return;
    const qint64 id = FItems->LedgerItemZQledgeritemid->AsLargeInt();
    auto items = LedgerDM->NewLedgerItems();
    // Deleted meanwhile by another desk: the list drops it.
    if (!items->OpenItem(id)) {
        query->RemoveRow(QVariant::fromValue(id));
        return;
    }
    auto form = std::make_unique<TLedgerDetailForm>(this, std::move(items));
    Dialogs().ShowModal(*form);
}

void TLedgerViewerForm::showStored(qint64 id)
{
    TZQuery *query = FItems->LedgerItemZQ;
    if (id <= 0)
        return;
    if (!query->Active())
        FItems->ShowCondition(QStringLiteral("l.ledgeritemid = ?"), {id});
    else
        FItems->RefreshItem(id, true);
    query->Locate(QVariant::fromValue(id));
}

void TLedgerViewerForm::CustomDeleteExecute()
{
    // The data module's rules and the common confirmation decide; no question here.
    TZQuery *query = FItems->LedgerItemZQ;
    if (!query->Active() || (query->Bof() && query->Eof()))
        return;
    try {
        query->Delete();
    } catch (const EStaleRow &) {
        // Show what is stored now, then say why nothing was deleted.
        query->Refresh();
        throw;
    }
}

void TLedgerViewerForm::TodayActionExecute()
{
    const QDate today = TClock::Now().date();
    setDateFilter(today, today);
}

void TLedgerViewerForm::ShowStartList(bool today)
{
    if (today && !FItems->LedgerItemZQ->Active())
        TodayActionExecute();
}

void TLedgerViewerForm::setDateFilter(const QDate &fromDate, const QDate &toDate)
{
    FItems->ShowCondition(QStringLiteral("l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?"),
                          {TZConnection::DayStart(TZConnection::DateText(fromDate)),
                           TZConnection::DayEnd(TZConnection::DateText(toDate))});
    // Newest first, like a search: the order never depends on what ran before.
    FItems->LedgerItemZQ->SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
    FItems->LedgerItemZQ->First();
}

void TLedgerViewerForm::ThisWeekActionExecute()
{
    // Weeks run Monday to Sunday.
    const QDate today = TClock::Now().date();
    const QDate from = today.addDays(-(today.dayOfWeek() - 1));
    setDateFilter(from, from.addDays(6));
}

void TLedgerViewerForm::ThisMonthActionExecute()
{
    const QDate today = TClock::Now().date();
    const QDate from(today.year(), today.month(), 1);
    setDateFilter(from, from.addMonths(1).addDays(-1));
}

void TLedgerViewerForm::ProceedingActionExecute()
{
    auto form = std::make_unique<TProceedingForm>(this);
    Dialogs().ShowModal(*form);
}

void TLedgerViewerForm::PrintListActionExecute()
{
    TReportEngine engine(this);
    engine.SetDefaultOrganization(LedgerDefaultOrganization);
    engine.ExecuteGridReport(*DBG, UiText(u"Lista stavki delovodnika"));
}

void TLedgerViewerForm::ExportCsvActionExecute()
{
    QString fileName = Dialogs().SaveFileDialog(UiText(u"Izvoz u CSV"), UiText(u"CSV datoteke (*.csv)"),
                                                QStringLiteral("delovodnik.csv"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".csv");
    ExportGridCsv(*DBG, fileName);
    const TZQuery *query = FItems->LedgerItemZQ;
    Dialogs().Notice(UiText(u"Izvezeno stavki: %1, u datoteku %2")
                         .arg(query->Active() ? query->RecordCount() : 0)
                         .arg(QFileInfo(fileName).fileName()));
}

void TLedgerViewerForm::DBGDblClick()
{
    TCustomViewerForm::DBGDblClick();
    const TDBGrid::TGridCoord cell = DBG->CellAt(DBG->mapFromGlobal(QCursor::pos()));
    // A double click on a column title is no request to edit; one below the
    // last row is.
    if (cell.Row == 0)
        return;
    TZQuery *query = FItems->LedgerItemZQ;
    if (query->Active() && !query->IsEmpty())
        CustomEdit->trigger();
}

void TLedgerViewerForm::addCancelling()
{
    CancelItemAction = makeAction(this, "CancelItemAction", UiText(u"Storniraj"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    CancelItemAction->setIcon(struckPageIcon());
    CancelItemAction->setToolTip(UiText(u"Storniraj (%1)").arg(
        CancelItemAction->shortcut().toString(QKeySequence::NativeText)));
    AddAction(CancelItemAction);
    ConnectGuarded(CancelItemAction, [this] { CancelItemActionExecute(); });
    AddToolButton(CancelItemAction, false);
    // In the menu right below "Izbriši".
    const QList<QAction *> menu = PopupMenu->actions();
    const qsizetype after = menu.indexOf(CustomDelete);
    PopupMenu->insertAction(after >= 0 && after + 1 < menu.size() ? menu.at(after + 1) : nullptr, CancelItemAction);

    const TLedgerItems &items = *FItems;
    const QString cancelledCaption = UiText(u"Stornirano: ");
    // The passage last shown, by item and typed text: a tooltip is asked for again and again.
    auto shown = std::make_shared<std::tuple<qint64, QString, QString>>();
    DBG->GridModel()->OnRowData = [this, &items, shown, cancelledCaption](int row, int role) -> QVariant {
        const TDataSet &ds = *items.LedgerItemZQ;
        const QVariant flag = ds.ValueAt(row, *items.LedgerItemZQcancelled);
        const bool cancelled = flag.typeId() == QMetaType::Bool ? flag.toBool() : flag.toString() == QLatin1String("y");
        if (!cancelled) {
            if (role != Qt::ToolTipRole || items.SearchedText().isEmpty() || !LedgerDM->ZConnection())
                return {};
            const qint64 id = ds.ValueAt(row, *items.LedgerItemZQledgeritemid).toLongLong();
            auto &[shownID, typed, passage] = *shown;
            if (shownID != id || typed != items.SearchedText()) {
                try {
                    passage = MatchingPassage(ItemDocumentText(*LedgerDM->ZConnection(), id), items.SearchedText());
                } catch (const KException &) {
                    // A tooltip cannot show an error; a busy or lost connection shows none.
                    return {};
                }
                shownID = id;
                typed = items.SearchedText();
            }
            return passage.isEmpty() ? QVariant() : QVariant(passage);
        }
        switch (role) {
        case Qt::FontRole: {
            QFont font = DBG->font();
            font.setStrikeOut(true);
            return QVariant::fromValue(font);
        }
        case Qt::ForegroundRole:
            return QVariant::fromValue(DBG->palette().color(QPalette::Disabled, QPalette::Text));
        case Qt::ToolTipRole:
            return cancelledCaption + ds.ValueAt(row, *items.LedgerItemZQcancelreason).toString();
        default:
            return {};
        }
    };
}

void TLedgerViewerForm::CancelItemActionExecute()
{
    CancelCurrentItem(this, *FItems);
}

void TLedgerViewerForm::addStamp()
{
    PrintStampAction = makeAction(this, "PrintStampAction", UiText(u"Štampaj štambilj"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    AddAction(PrintStampAction);
    ConnectGuarded(PrintStampAction, [this] { PrintStampActionExecute(); });
    const QList<QAction *> menu = PopupMenu->actions();
    const qsizetype after = menu.indexOf(ExportCsvAction);
    PopupMenu->insertAction(after >= 0 && after + 1 < menu.size() ? menu.at(after + 1) : nullptr, PrintStampAction);
}

void TLedgerViewerForm::PrintStampActionExecute()
{
    const TZQuery *query = FItems->LedgerItemZQ;
    if (!query->Active() || query->IsEmpty())
        return;
    PrintItemStamp(*LedgerDM->ZConnection(), FItems->LedgerItemZQledgeritemid->AsLargeInt(), this);
}
