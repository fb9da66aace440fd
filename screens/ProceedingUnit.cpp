#include "ProceedingUnit.h"

#include "ApplicationEvents.h"
#include "CommonStrings.h"
#include "DBGrid.h"
#include "Guard.h"
#include "Help.h"
#include "SqlText.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerProceedingReport.h"
#include "screens/LedgerHelpContexts.h"

#include "ui_ProceedingUnit.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
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

bool editing(const TDataSet &dataSet)
{
    return dataSet.State() == TDataSetState::Edit || dataSet.State() == TDataSetState::Insert;
}

// A choice made in the grid is stored before anything reads the rows or
// the dialog goes: the printed record must not show what the database lacks.
void storePending(TZQuery &query)
{
    if (query.Active() && editing(query))
        query.Post();
}

} // namespace

TProceedingForm::TProceedingForm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::ProceedingForm>()), FItems(new TLedgerItems(*LedgerDM, this))
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
    accepted.PickList << _YES_CAP << _NO_CAP;
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

// One post per row. A post that fails ends the walk on its row: the rows
// before it stay accepted, the failed one shows what the database holds,
// and the error goes to the caller's display.
void TProceedingForm::AcceptAllButtonClick()
{
    TZQuery *query = FItems->LedgerItemZQ;
    TControlsSuspended suspended(*query);
    query->First();
    while (!query->Eof()) {
        if (query->State() == TDataSetState::Browse)
            query->Edit();
        FItems->LedgerItemZQaccepted->SetAsBoolean(true);
        try {
            query->Post();
        } catch (...) {
            query->Cancel();
            throw;
        }
        query->Next();
    }
    query->First();
}

void TProceedingForm::PrintButtonClick()
{
    storePending(*FItems->LedgerItemZQ);
    ExecuteLedgerProceedingReport(FItems->LedgerItemZQ, windowTitle());
}

void TProceedingForm::CloseButtonClick()
{
    close();
}

void TProceedingForm::done(int result)
{
    if (!Guarded([this] { storePending(*FItems->LedgerItemZQ); }))
        return;
    QDialog::done(result);
}

void TProceedingForm::ProceedingDBGKeyDown(int &key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Delete && (shift & ~Qt::KeypadModifier) != Qt::ControlModifier)
        key = 0;
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
