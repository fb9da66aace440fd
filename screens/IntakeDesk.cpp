#include "IntakeDesk.h"

#include "Clock.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/IntakeRegistration.h"
#include "data/ItemDocumentText.h"
#include "data/LedgerDMUnit.h"
#include "screens/IntakeProposalsPanel.h"
#include "screens/LedgerDetailUnit.h"
#include "screens/LedgerViewerUnit.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPolygon>
#include <QThread>
#include <atomic>
#include <exception>
#include <memory>

namespace {

constexpr char16_t ReadingText[] = u"Čitanje dokumenta…";

TZConnection &connection()
{
    if (TZConnection *c = LedgerDM->ZConnection())
        return *c;
    throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
}

// The first local file a drag carries, empty when none.
QString draggedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

// A page with a green arrow coming into it: told apart from the print's page.
QIcon intakeIcon()
{
    QPixmap page(QStringLiteral(":/ledger/icons/page-text.png"));
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 130, 40), 2));
    painter.drawLine(8, 1, 8, 11);
    painter.setBrush(QColor(20, 130, 40));
    painter.drawPolygon(QPolygon({QPoint(4, 9), QPoint(12, 9), QPoint(8, 14)}));
    return QIcon(page);
}

} // namespace

TIntakeDesk::TIntakeDesk(TLedgerViewerForm &list)
    : QObject(&list), IntakeAction(new QAction(UiText(u"Prijem dokumenta…"), &list)), Reader(ReadIntakeFile),
      Proposer(ProposeIntake), m_list(list)
{
    setObjectName(QStringLiteral("IntakeDesk"));
    IntakeAction->setObjectName(QStringLiteral("IntakeAction"));
    IntakeAction->setIcon(intakeIcon());
    IntakeAction->setToolTip(IntakeAction->text());
    ConnectGuarded(IntakeAction, [this] { IntakeExecute(); });
    list.DBG->viewport()->setAcceptDrops(true);
    list.DBG->viewport()->installEventFilter(this);
}

QString TIntakeDesk::FileFilter()
{
    return UiText(u"Dokumenti (*.pdf *.png *.jpg *.jpeg *.tif *.tiff *.eml)");
}

void TIntakeDesk::IntakeExecute()
{
    const QString path = Dialogs().OpenFileDialog(UiText(u"Prijem dokumenta"), FileFilter());
    if (!path.isEmpty())
        Intake(path);
}

void TIntakeDesk::Intake(const QString &path)
{
    const TIntakeDocument document = read(path);
    if (document.SourcePath.isEmpty() || attachToStamped(document))
        return;
    TZConnection &c = connection();
    const TIntakeProposals proposals = Proposer(document, IntakePartners(c), IntakeItemTypes(c));
    if (duplicatesAccepted(document, proposals))
        openNewItem(document, proposals);
}

// The reader's own thread; the progress is asked while it works. An empty
// document: cancelled, nothing read.
TIntakeDocument TIntakeDesk::read(const QString &path)
{
    TIntakeControl control;
    std::atomic<int> done{0}, total{0};
    control.Progress = [&](int d, int t) {
        done = d;
        total = t;
    };
    TIntakeDocument document;
    std::exception_ptr failure;
    bool cancelled = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            document = Reader(path, control);
        } catch (const EIntakeCancelled &) {
            cancelled = true;
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    worker->start();
    while (!worker->wait(50))
        if (!control.Cancel && !Dialogs().TaskProgress(UiText(ReadingText), done, total))
            control.Cancel = true;
    Dialogs().TaskProgressEnded();
    if (failure)
        std::rethrow_exception(failure);
    if (cancelled || control.Cancel)
        return {};
    return document;
}

bool TIntakeDesk::attachToStamped(const TIntakeDocument &document)
{
    TZConnection &c = connection();
    const auto stamped = FindStampedItem(c, document.QrCodes);
    if (!stamped)
        return false;
    if (MessageDlg(UiText(u"Dokument nosi štambilj stavke %1. Priložiti ga kao sken te stavke?")
                       .arg(stamped->LedgerNumber),
                   TMsgDlgType::Confirmation, mbYes | mbNo)
        != mbYes)
        return true;
    const QString dir = LedgerDM->GetScannedDocumentFilePath();
    if (dir.isEmpty())
        return true;
    AttachIntakeScan(c, dir, stamped->ItemID, document, LedgerDM->HistoryActor(), TClock::Now());
    LedgerDM->ShowStatus(UiText(u"Priložen sken stavke %1").arg(stamped->LedgerNumber));
    return true;
}

bool TIntakeDesk::duplicatesAccepted(const TIntakeDocument &document, const TIntakeProposals &proposals)
{
    const TProposal *partner = proposals.Best(TProposalField::Partner);
    const TProposal *number = proposals.Best(TProposalField::ItemNumber);
    const QList<TIntakeDuplicate> duplicates =
        FindIntakeDuplicates(connection(), document.Sha256, partner && partner->Fills() ? partner->PartnerID : 0,
                             number && number->Fills() ? number->Value : QString());
    if (duplicates.isEmpty())
        return true;
    QStringList reasons;
    for (const TIntakeDuplicate &d : duplicates)
        reasons << d.Reason;
    return MessageDlg(UiText(u"Dokument je možda već zaveden: %1. Ipak ga zavesti kao novu stavku?")
                          .arg(reasons.join(QStringLiteral("; "))),
                      TMsgDlgType::Warning, mbYes | mbNo | mbDefaultNo)
           == mbYes;
}

void TIntakeDesk::openNewItem(const TIntakeDocument &document, const TIntakeProposals &proposals)
{
    const QString dir = LedgerDM->GetScannedDocumentFilePath();
    if (dir.isEmpty())
        return;
    const QByteArray mail = IntakeMailFile(document);
    auto items = LedgerDM->NewLedgerItems();
    items->ShowCondition(QStringLiteral("l.ledgeritemid = -1"));
    items->LedgerItemZQ->Append();
    items->LedgerItemZQdirection->SetAsInteger(1);
    auto form = std::make_unique<TLedgerDetailForm>(&m_list, std::move(items));
    // Declared after the form: it lets go of the form's items first.
    TIntakeKeeping keeping(form->Items(), document, dir, mail);
    new TIntakeProposalsPanel(*form, proposals);
    Dialogs().ShowModal(*form);
    const qint64 id = keeping.StoredItemID();
    if (id <= 0)
        return;
    TLedgerItems &listed = m_list.Items();
    if (!listed.LedgerItemZQ->Active())
        listed.ShowCondition(QStringLiteral("l.ledgeritemid = ?"), {id});
    else
        listed.RefreshItem(id, true);
    listed.LedgerItemZQ->Locate(QVariant::fromValue(id));
}

bool TIntakeDesk::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (draggedFile(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = draggedFile(drop->mimeData());
        if (path.isEmpty())
            return false;
        drop->acceptProposedAction();
        // After the drop returns: the form is modal.
        QMetaObject::invokeMethod(
            this, [this, path] { Guarded([&] { Intake(path); }); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

TIntakeDesk &AddIntakeDesk(TLedgerViewerForm &list)
{
    auto *desk = new TIntakeDesk(list);
    list.AddAction(desk->IntakeAction);
    list.AddToolButton(desk->IntakeAction, false);
    // In the menu right after "Dodaj", the other way to a new item.
    const QList<QAction *> menu = list.PopupMenu->actions();
    const qsizetype add = menu.indexOf(list.CustomAdd);
    list.PopupMenu->insertAction(add >= 0 && add + 1 < menu.size() ? menu[add + 1] : nullptr, desk->IntakeAction);
    list.EnableCommands();
    return *desk;
}
