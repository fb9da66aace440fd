#include "YearClosingActions.h"

#include "Clock.h"
#include "CustomViewerForm.h"
#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "data/ClosedYears.h"
#include "data/LedgerDMUnit.h"
#include "data/YearClosing.h"
#include "screens/ReopenYearDialog.h"
#include "screens/YearClosingDialog.h"

#include <QAction>
#include <QMenu>
#include <memory>

namespace {

TZConnection &connection()
{
    if (TZConnection *c = LedgerDM->ZConnection())
        return *c;
    throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
}

// Throws the refusal unless an administrator is logged in.
void requireAdministrator()
{
    TUserDesc user;
    const ILedgerContext *context = LedgerDM->Context();
    if (!context || !context->CurrentUser(user))
        user.Administrator = false;
    CheckYearClosingAllowed(user);
}

} // namespace

void AddYearClosingActions(TCustomViewerForm &frame)
{
    const struct
    {
        const char *Name;
        QString Caption;
        void (*Execute)(QWidget *);
    } actions[] = {
        {"YearClosingAction", UiText(u"Zaključenje delovodnika…"), &YearClosingActionExecute},
        {"ReopenYearAction", UiText(u"Otvori ponovo…"), &ReopenYearActionExecute},
    };
    // A group of their own below the register's printed output, above the
    // columns' command.
    QAction *before = frame.ColumnsVisibility;
    const QList<QAction *> items = frame.PopupMenu->actions();
    if (const qsizetype columns = items.indexOf(frame.ColumnsVisibility); columns > 0 && items[columns - 1]->isSeparator())
        before = items[columns - 1];
    frame.PopupMenu->insertSeparator(before);
    for (const auto &a : actions) {
        auto *action = frame.AddAction(new QAction(a.Caption, &frame));
        action->setObjectName(QLatin1String(a.Name));
        ConnectGuarded(action, [owner = &frame, execute = a.Execute] { execute(owner); });
        frame.PopupMenu->insertAction(before, action);
    }
    frame.EnableCommands();
}

void YearClosingActionExecute(QWidget *owner)
{
    requireAdministrator();
    // In January the year to close is usually the one just ended.
    const QDate today = TClock::Now().date();
    const int year = today.month() == 1 ? today.year() - 1 : today.year();
    auto dialog = std::make_unique<TYearClosingDialog>(connection(), year, owner);
    Dialogs().ShowModal(*dialog);
}

void ReopenYearActionExecute(QWidget *owner)
{
    requireAdministrator();
    const QList<int> closed = ClosedYears(connection());
    if (closed.isEmpty()) {
        MessageDlg(UiText(u"Nijedna godina nije zaključena."), TMsgDlgType::Information, mbOK);
        return;
    }
    auto dialog = std::make_unique<TReopenYearDialog>(closed, owner);
    if (Dialogs().ShowModal(*dialog) != QDialog::Accepted)
        return;
    const int year = dialog->Year();
    if (MessageDlg(UiText(u"Ponovo otvoriti godinu %1?\nNjene stavke će se ponovo moći menjati, a zaključak "
                                  u"više neće važiti.")
                       .arg(year),
                   TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo)
        != mbYes)
        return;
    ReopenYear(connection(), year, dialog->Reason(), LedgerDM->HistoryActor());
    MessageDlg(UiText(u"Godina %1 je ponovo otvorena.").arg(year), TMsgDlgType::Information, mbOK);
}
