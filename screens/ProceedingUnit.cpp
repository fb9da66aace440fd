#include "ProceedingUnit.h"

#include "ApplicationEvents.h"
#include "CommonStrings.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "Guard.h"
#include "Help.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "SqlText.h"
#include "ZQuery.h"
#include "data/HandoverAcceptance.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerProceedingReport.h"
#include "screens/LedgerHelpContexts.h"

#include "ui_ProceedingUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWheelEvent>

namespace {

// Keeps the bound controls still for a walk over the rows; they follow
// again however the walk ends.
class TControlsSuspended
{
public:
    explicit TControlsSuspended(TDataSet &dataSet) : m_dataSet(dataSet) { m_dataSet.DisableControls(); }
    ~TControlsSuspended() { m_dataSet.EnableControls(); }
    TControlsSuspended(const TControlsSuspended &) = delete;
    TControlsSuspended &operator=(const TControlsSuspended &) = delete;

private:
    TDataSet &m_dataSet;
};

// "1 stavku", "3 stavke", "5 stavki", "21 stavku": the object of "Prihvatiti".
QString itemsToAccept(qsizetype count)
{
    const qsizetype ones = count % 10, tens = count % 100;
    const char16_t *noun = u"stavki";
    if (ones == 1 && tens != 11)
        noun = u"stavku";
    else if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
        noun = u"stavke";
    return QStringLiteral("%1 %2").arg(count).arg(UiText(noun));
}

// Leaves a cell's pending edit: nothing in the grid is stored by a post.
void leaveEdit(TZQuery &query)
{
    if (query.State() == TDataSetState::Edit || query.State() == TDataSetState::Insert)
        query.Cancel();
}

TZConnection &bookConnection()
{
    if (!LedgerDM->ZConnection())
        throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
    return *LedgerDM->ZConnection();
}

} // namespace

TProceedingForm::TProceedingForm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui_ProceedingForm>()), FItems(new TLedgerItems(*LedgerDM, this))
{
    ui->setupUi(this);
    SetHelpContext(this, LedgerHandoverHelp);
    Label15 = ui->Label15;
    InUsernameEdit = ui->InUsernameEdit;
    InUserButton = ui->InUserButton;
    AcceptAllButton = ui->AcceptAllButton;
    ProceedingDBG = ui->ProceedingDBG;
    PrintButton = ui->PrintButton;
    Bevel1 = ui->Bevel1;
    CloseButton = ui->CloseButton;
    // The record's data as typed, in Cyrillic or in Latin: on the bottom row, left of "Zatvori".
    auto *scriptLabel = new QLabel(DataScriptCaption(), this);
    scriptLabel->setObjectName(QStringLiteral("DataScriptLabel"));
    DataScriptCombo = NewDataScriptCombo(this);
    scriptLabel->setBuddy(DataScriptCombo);
    scriptLabel->setGeometry(8, 324, scriptLabel->sizeHint().width(), 17);
    DataScriptCombo->setGeometry(scriptLabel->geometry().right() + 6, 320,
                                 qMax(120, DataScriptCombo->sizeHint().width()), 25);
    // Last in the tab order: the buttons keep theirs.
    setTabOrder(AcceptAllButton, DataScriptCombo);

    QPalette face = InUsernameEdit->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    InUsernameEdit->setPalette(face);

    // Titles from the fields' labels; a column of the default width, or one
    // whose title needs more room in the font at hand, grows to fit it.
    ProceedingDBG->SetDataSource(FItems->LedgerItemDS);
    ProceedingDBG->SetReadOnly(false);
    const QHeaderView *titles = ProceedingDBG->horizontalHeader();
    const int titleMargin = 2 * titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles) + 4;
    const struct
    {
        const char *Field;
        int Width; // 0: the grid's default
        bool ReadOnly;
    } columns[] = {
        {"inusername", 100, false}, {"outusername", 100, true}, {"ledgernumber", 80, true}, {"itemtype", 100, true},
        {"itemdate", 0, true},      {"itemnumber", 100, true},  {"accepted", 0, false},
    };
    QList<TColumn> gridColumns;
    for (const auto &c : columns) {
        TColumn column;
        column.FieldName = QLatin1String(c.Field);
        column.Title = FItems->LedgerItemZQ->FieldByName(column.FieldName).DisplayLabel();
        column.Width = qMax(c.Width > 0 ? c.Width : TDBGrid::DefaultColumnWidth,
                            titles->fontMetrics().horizontalAdvance(column.Title) + titleMargin);
        column.ReadOnly = c.ReadOnly;
        gridColumns << column;
    }
    ProceedingDBG->SetColumns(gridColumns);
    fitGrid();
    ProceedingDBG->OnKeyDown = [this](int &key, Qt::KeyboardModifiers shift) { ProceedingDBGKeyDown(key, shift); };
    ProceedingDBG->OnKeyPress = [this](QChar &key) { ProceedingDBGKeyPress(key); };
    // A double click on a row, not on the titles.
    ProceedingDBG->OnDblClick = [this] {
        if (ProceedingDBG->CellAt(ProceedingDBG->LastMousePos()).Row > 0)
            ToggleCurrentRow();
    };
    // The pick list's choice is stored at once, through the same safe path.
    FItems->LedgerItemZQaccepted->OnSetText = [this](TField &, const QString &text) { chooseCurrent(text == ShownCaption(_YES_CAP)); };

    ApplicationEvents = new TApplicationEvents(this);
    ApplicationEvents->OnMessage = [this](QObject *receiver, QEvent *event, bool &handled) {
        ApplicationEventsMessage(receiver, event, handled);
    };

    ConnectGuarded(InUserButton, [this] { InUserButtonClick(); });
    ConnectGuarded(AcceptAllButton, [this] { AcceptAllButtonClick(); });
    ConnectGuarded(PrintButton, [this] { PrintButtonClick(); });
    ConnectGuarded(CloseButton, [this] { CloseButtonClick(); });

    if (QScreen *at = screen())
        move(at->availableGeometry().center() - rect().center());
    Guarded([this] { FormCreate(); });
    ProceedingDBG->setFocus();
}

// The design's 669 wide grid holds its columns in an 8 pt Tahoma. Where the
// font at hand needs more, the grid and the dialog grow by the difference
// and the buttons keep their places beside the grid's right edge.
void TProceedingForm::fitGrid()
{
    int columns = 2 * ProceedingDBG->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ProceedingDBG);
    for (const TColumn &column : ProceedingDBG->Columns())
        columns += column.Width;
    const int grow = qMax(0, columns - ProceedingDBG->width());
    ProceedingDBG->resize(ProceedingDBG->width() + grow, ProceedingDBG->height());
    Bevel1->resize(Bevel1->width() + grow, Bevel1->height());
    for (QWidget *w : std::initializer_list<QWidget *>{AcceptAllButton, PrintButton, CloseButton})
        w->move(w->x() + grow, w->y());
    // A caption longer than the layout's button (Cyrillic letters are wider)
    // widens it leftwards, its right edge beside the grid's.
    for (QPushButton *b : {AcceptAllButton, PrintButton, CloseButton}) {
        const int wider = b->fontMetrics().horizontalAdvance(QString(b->text()).remove(u'&')) + 6 - b->width();
        if (wider > 0)
            b->setGeometry(b->x() - wider, b->y(), b->width() + wider, b->height());
    }
    setFixedSize(776 + grow, 350);
}

TProceedingForm::~TProceedingForm()
{
    // The grid lets go of the rows before they go.
    ProceedingDBG->SetDataSource(nullptr);
}

QString TProceedingForm::HandoverCondition()
{
    // A cancelled item is not taken over: it stays out of the record.
    return QStringLiteral("l.accepted = 'n' AND l.cancelled = 'n' AND l.outuserid = ?");
}

// A failed open leaves the query closed with the new text; the caller shows why.
void TProceedingForm::setCondition(const QString &condition, const QVariantList &params)
{
    FItems->ShowCondition(condition, params);
}

void TProceedingForm::FormCreate()
{
    TColumn accepted = ProceedingDBG->Columns().at(6);
    accepted.PickList << ShownCaption(_YES_CAP) << ShownCaption(_NO_CAP);
    ProceedingDBG->SetColumn(6, accepted);
    // In the order the items were registered, as the record lists them.
    FItems->LedgerItemZQ->SetSortedFields(QStringLiteral("ledgerdatetime, ledgeritemid"));
    setCondition(HandoverCondition(), {LedgerDM->GetUserID()});
}

void TProceedingForm::InUserButtonClick()
{
    IRef<ISecurity> security = LedgerService<ISecurity>();
    if (!security)
        return;
    TUserDesc user;
    if (!security->SelectUser(user))
        return;
    InUsernameEdit->setText(user.FirstName + u' ' + user.LastName);
    // Built afresh each time: another choice replaces the previous one.
    setCondition(HandoverCondition() + QStringLiteral(" AND l.inuserid = ?"), {LedgerDM->GetUserID(), user.UserID});
}

THandoverAcceptance &TProceedingForm::acceptance()
{
    if (!FAcceptance) {
        TUserDesc user;
        if (!LedgerDM->Context() || !LedgerDM->Context()->CurrentUser(user))
            throw KException(UiText(u"Stavke prihvata prijavljeni korisnik."));
        FAcceptance = std::make_unique<THandoverAcceptance>(bookConnection(), user, LedgerDM->HistoryActor());
    }
    return *FAcceptance;
}

// Each row in a transaction of its own: a row changed or gone meanwhile is
// skipped and named at the end, the rest are accepted.
void TProceedingForm::AcceptAllButtonClick()
{
    TZQuery *query = FItems->LedgerItemZQ;
    leaveEdit(*query);
    QList<std::pair<qint64, QString>> rows;
    for (int row = 0; query->Active() && row < query->RecordCount(); ++row)
        if (query->DisplayTextAt(row, *FItems->LedgerItemZQaccepted) != ShownCaption(_YES_CAP))
            rows << std::pair(query->ValueAt(row, *FItems->LedgerItemZQledgeritemid).toLongLong(),
                              query->DisplayTextAt(row, *FItems->LedgerItemZQledgernumber));
    if (rows.isEmpty())
        return;
    if (MessageDlg(UiText(u"Prihvatiti %1?").arg(itemsToAccept(rows.size())), TMsgDlgType::Confirmation, mbYes | mbNo)
        != mbYes)
        return;
    THandoverAcceptance &handover = acceptance();
    QList<qint64> ids;
    {
        TControlsSuspended suspended(*query);
        try {
            for (const auto &[id, number] : rows)
                if (handover.Accept(id, number))
                    ids << id;
        } catch (...) {
            // A database error ends the walk; what was stored before it shows.
            showStored(ids);
            query->First();
            throw;
        }
        showStored(ids);
        query->First();
    }
    tellSkipped(false);
}

void TProceedingForm::ToggleCurrentRow()
{
    TZQuery *query = FItems->LedgerItemZQ;
    if (!query->Active() || query->IsEmpty())
        return;
    leaveEdit(*query);
    chooseCurrent(!(FAcceptance && FAcceptance->AcceptedHere(FItems->LedgerItemZQledgeritemid->AsLargeInt())));
}

void TProceedingForm::chooseCurrent(bool accept)
{
    TZQuery *query = FItems->LedgerItemZQ;
    leaveEdit(*query);
    if (!query->Active() || query->IsEmpty())
        return;
    const qint64 id = FItems->LedgerItemZQledgeritemid->AsLargeInt();
    const QString number = FItems->LedgerItemZQledgernumber->AsString();
    THandoverAcceptance &handover = acceptance();
    // "Ne" on a row this dialog did not accept changes nothing.
    if (!accept && !handover.AcceptedHere(id) && !FItems->LedgerItemZQaccepted->AsBoolean())
        return;
    const bool stored = accept ? handover.Accept(id, number) : handover.Withdraw(id, number);
    // A row skipped shows what the database holds now too.
    if (stored)
        showStored({id});
    else
        FItems->RefreshItem(id);
    tellSkipped(!accept);
}

void TProceedingForm::showStored(const QList<qint64> &ids)
{
    for (qint64 id : ids) {
        FItems->RefreshItem(id);
        emit LedgerDM->ItemStored(id, FItems);
    }
}

void TProceedingForm::tellSkipped(bool withdrawing)
{
    if (FAcceptance)
        if (const QString skipped = HandoverSkipMessage(FAcceptance->TakeSkipped(), withdrawing); !skipped.isEmpty())
            MessageDlg(skipped, TMsgDlgType::Warning, mbOK);
}

// The kept record once this dialog has one, so the paper matches the book.
void TProceedingForm::PrintButtonClick()
{
    leaveEdit(*FItems->LedgerItemZQ);
    if (FAcceptance && FAcceptance->RecordID())
        ExecuteStoredHandoverRecord(bookConnection(), FAcceptance->RecordID(), ChosenDataScript(*DataScriptCombo));
    else
        ExecuteLedgerProceedingReport(FItems->LedgerItemZQ, windowTitle(), ChosenDataScript(*DataScriptCombo));
}

void TProceedingForm::CloseButtonClick()
{
    close();
}

void TProceedingForm::ProceedingDBGKeyDown(int &key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Delete && (shift & ~Qt::KeypadModifier) != Qt::ControlModifier)
        key = 0;
    if (key == Qt::Key_Space && !(shift & ~Qt::KeypadModifier)) {
        key = 0;
        ToggleCurrentRow();
    }
}

void TProceedingForm::ProceedingDBGKeyPress(QChar &key)
{
    key = QChar();
}

// A wheel event becomes one arrow key for the widget with the focus, as the
// wheel message once became a key-down for its window: up for a forward
// turn, down for a backward one or none, whatever the distance. A sideways
// wheel passes as it is.
void TProceedingForm::ApplicationEventsMessage(QObject *receiver, QEvent *event, bool &handled)
{
    if (event->type() != QEvent::Wheel)
        return;
    auto *wheel = static_cast<QWheelEvent *>(event);
    const QPoint delta = wheel->angleDelta();
    if (delta.x() != 0 && delta.y() == 0)
        return;
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = qobject_cast<QWidget *>(receiver);
    if (!target)
        return;
    QKeyEvent key(QEvent::KeyPress, delta.y() > 0 ? Qt::Key_Up : Qt::Key_Down, wheel->modifiers());
    QCoreApplication::sendEvent(target, &key);
    wheel->accept();
    handled = true;
}
