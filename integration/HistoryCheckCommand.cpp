#include "HistoryCheckCommand.h"

#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "data/HistoryChain.h"
#include "data/LedgerDMUnit.h"

#include <QTextStream>

namespace {

const QString kVerifyHistory = QStringLiteral("verify-history");

int fail(const TCommandContext &context, const QString &why)
{
    LogError(why);
    context.Err << UiText(u"Provera istorije nije urađena: %1").arg(why) << Qt::endl;
    return ceFailed;
}

} // namespace

QList<TCommandOption> HistoryCheckCommandOptions()
{
    return {{kVerifyHistory,
             UiText(u"Proverava da istorija izmena nije menjana (lanac kontrolnih zbirova), bez prozora "
                            u"(uz --user administratora). Izlaz 0: ispravna, 3: menjana."),
             QString(), true}};
}

bool IsHistoryCheckCommand(const TCommandValues &values)
{
    return values.contains(kVerifyHistory);
}

QString HistoryCheckCommandLineProblem(const TCommandValues &values, bool withLogin, int otherCommands)
{
    if (!values.contains(kVerifyHistory))
        return {};
    if (otherCommands > 0)
        return UiText(u"Uz --verify-history se ne radi nijedan drugi posao.");
    if (!withLogin)
        return UiText(u"Uz proveru istorije prijava ide sa --user (i --password-stdin).");
    return {};
}

int RunHistoryCheckCommand(const TCommandContext &context, const std::function<void()> &connect)
{
    if (!context.User.Administrator)
        return fail(context, UiText(u"proveru integriteta istorije može da radi samo administrator."));
    try {
        connect();
    } catch (const KException &e) {
        return fail(context, e.message());
    }
    TZConnection *connection = LedgerDM->ZConnection();
    if (!connection)
        return fail(context, UiText(u"delovodnik nema vezu sa bazom podataka."));
    // A scheduled job's log shows that a long check goes on.
    qint64 nextReport = 100000;
    const auto progress = [&](qint64 done, qint64 total) {
        if (done >= nextReport) {
            context.Err << UiText(u"Provereno %1 od %2 unosa…").arg(done).arg(total) << Qt::endl;
            nextReport = done + 100000;
        }
        return true;
    };
    try {
        const THistoryChainCheck check = VerifyHistoryChain(*connection, progress);
        context.Out << check.Text << Qt::endl;
        context.Out << ReadHistoryChainHead(*connection).Text() << Qt::endl;
        return check.Intact() ? int(ceDone) : kHistoryBroken;
    } catch (const KException &e) {
        return fail(context, e.message());
    }
}
