#include "LedgerRegisterActions.h"

#include "Clock.h"
#include "CustomViewerForm.h"
#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerRegisterBook.h"
#include "screens/ContinuityDialog.h"
#include "screens/DeletedItemsDialog.h"
#include "screens/RegisterBookDialog.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QScopeGuard>
#include <memory>

void AddRegisterActions(TCustomViewerForm &frame)
{
    const struct
    {
        const char *Name;
        QString Caption;
        void (*Execute)(QWidget *);
    } actions[] = {
        {"RegisterBookAction", UiText(u"Delovodnik za godinu…"), &RegisterBookActionExecute},
        {"ContinuityAction", UiText(u"Kontinuitet brojeva…"), &ContinuityActionExecute},
        {"DeletedItemsAction", UiText(u"Obrisane stavke…"), &DeletedItemsActionExecute},
    };
    // With the list's other printed output, in the group above the columns'
    // command, which stays last.
    const QList<QAction *> items = frame.PopupMenu->actions();
    const qsizetype columns = items.indexOf(frame.ColumnsVisibility);
    QAction *before = frame.ColumnsVisibility;
    if (columns > 0 && items[columns - 1]->isSeparator())
        before = items[columns - 1];
    else
        frame.PopupMenu->insertSeparator(frame.ColumnsVisibility);
    for (const auto &a : actions) {
        auto *action = frame.AddAction(new QAction(a.Caption, &frame));
        action->setObjectName(QLatin1String(a.Name));
        ConnectGuarded(action, [owner = &frame, execute = a.Execute] { execute(owner); });
        frame.PopupMenu->insertAction(before, action);
    }
    frame.EnableCommands();
}

namespace {

TZConnection &connection()
{
    if (TZConnection *c = LedgerDM->ZConnection())
        return *c;
    throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
}

} // namespace

void RegisterBookActionExecute(QWidget *owner)
{
    auto dialog = std::make_unique<TRegisterBookDialog>(TClock::Now().date().year(), owner);
    if (Dialogs().ShowModal(*dialog) != QDialog::Accepted)
        return;
    if (dialog->Directions().isEmpty()) {
        MessageDlg(UiText(u"Izaberite bar jedan tip."), TMsgDlgType::Warning, mbOK);
        return;
    }
    const QString file = dialog->PdfFile();
    if (file.isEmpty()) {
        PreviewRegisterBook(connection(), dialog->Year(), dialog->Print());
        return;
    }
    // The pages are written one by one; the user may stop in between.
    const auto ended = qScopeGuard([] { Dialogs().TaskProgressEnded(); });
    const bool written = SaveRegisterBook(connection(), dialog->Year(), dialog->Print(), file,
                                          [](qint64 done, qint64 total) {
                                              // A total of 0: the items are still being read.
                                              return Dialogs().TaskProgress(
                                                  total == 0 ? LoadedRowsText(done)
                                                             : UiText(u"Delovodnik se upisuje u datoteku…"),
                                                  done, total);
                                          });
    MessageDlg(written ? UiText(u"Delovodnik je sačuvan u datoteci „%1“.").arg(QDir::toNativeSeparators(file))
                       : UiText(u"Upisivanje je otkazano; datoteka nije napravljena."),
               TMsgDlgType::Information, mbOK);
}

void ContinuityActionExecute(QWidget *owner)
{
    auto dialog = std::make_unique<TContinuityDialog>(connection(), TClock::Now().date().year(), owner);
    Dialogs().ShowModal(*dialog);
}
