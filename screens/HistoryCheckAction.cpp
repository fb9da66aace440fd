#include "HistoryCheckAction.h"

#include "Dialogs.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "data/HistoryChain.h"
#include "data/LedgerContext.h"
#include "data/LedgerDMUnit.h"

#include <QScopeGuard>

void HistoryCheckActionExecute(QWidget *owner)
{
    Q_UNUSED(owner);
    TUserDesc user;
    const ILedgerContext *context = LedgerDM->Context();
    if (!context || !context->CurrentUser(user) || !user.Administrator)
        throw KException(UiText(u"Proveru integriteta istorije može da radi samo administrator."));
    TZConnection *connection = LedgerDM->ZConnection();
    if (!connection)
        throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
    bool shown = false;
    const auto ended = qScopeGuard([&shown] {
        if (shown)
            Dialogs().TaskProgressEnded();
    });
    const THistoryChainCheck check = VerifyHistoryChain(*connection, [&shown](qint64 done, qint64 total) {
        shown = true;
        return Dialogs().TaskProgress(UiText(u"Provera istorije izmena: %1 od %2 unosa…").arg(done).arg(total),
                                      done, total);
    });
    const QString head = ReadHistoryChainHead(*connection).Text();
    Dialogs().MessageDlg(check.Text + u'\n' + head, check.Intact() ? TMsgDlgType::Information : TMsgDlgType::Warning,
                         mbOK);
}
