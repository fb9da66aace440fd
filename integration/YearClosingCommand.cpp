#include "YearClosingCommand.h"

#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "data/ClosingNote.h"
#include "data/LedgerDMUnit.h"
#include "data/ReportText.h"
#include "data/YearClosing.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QTextStream>

namespace {

const QString kCloseYear = QStringLiteral("close-year");
const QString kClosingPdf = QStringLiteral("closing-pdf");

int fail(const TCommandContext &context, const QString &why)
{
    LogError(why);
    context.Err << why << Qt::endl;
    return ceFailed;
}

} // namespace

QList<TCommandOption> YearClosingCommandOptions()
{
    return {
        {kCloseYear,
         UiText(u"Zaključuje delovodnik godine GGGG i upisuje zaključak u --closing-pdf, bez prozora "
                        u"(uz --user administratora)."),
         QStringLiteral("GGGG"), true},
        {kClosingPdf, UiText(u"PDF datoteka zaključka, uz --close-year."), QStringLiteral("FILE.pdf")},
    };
}

bool IsYearClosingCommand(const TCommandValues &values)
{
    return values.contains(kCloseYear);
}

QString YearClosingCommandLineProblem(const TCommandValues &values, bool withLogin, int otherCommands)
{
    if (!values.contains(kCloseYear)) {
        if (values.contains(kClosingPdf))
            return UiText(u"Opcija --closing-pdf važi samo uz --close-year.");
        return {};
    }
    if (otherCommands > 0)
        return UiText(u"Uz --close-year se ne radi nijedan drugi posao.");
    if (!withLogin)
        return UiText(u"Uz zaključenje prijava ide sa --user (i --password-stdin).");
    if (values.value(kCloseYear).trimmed().isEmpty())
        return UiText(u"Uz --close-year treba navesti godinu.");
    if (values.value(kClosingPdf).trimmed().isEmpty())
        return UiText(u"Uz --close-year treba navesti datoteku zaključka (--closing-pdf).");
    return {};
}

int RunYearClosingCommand(const TCommandValues &values, const TCommandContext &context,
                          const std::function<void()> &connect)
{
    const QString fileName = values.value(kClosingPdf);
    int year = 0;
    try {
        CheckYearClosingAllowed(context.User);
        if (!ParseLedgerYear(values.value(kCloseYear), year))
            throw KException(UiText(u"Godina '%1' nije ispravna: upišite godinu od 1900 do 9999 (npr. 2025).")
                                 .arg(values.value(kCloseYear)));
        // Once closed the year stays so: the note's file must be writable first.
        const QFileInfo target(fileName);
        const QFileInfo folder(target.absolutePath());
        if (!folder.isDir() || !folder.isWritable() || (target.exists() && !target.isWritable()))
            throw KException(UiText(u"U datoteku „%1“ se ne može upisivati.").arg(QDir::toNativeSeparators(fileName)));
        connect();
    } catch (const KException &e) {
        return fail(context, UiText(u"Godina nije zaključena: %1").arg(e.message()));
    }
    TZConnection *connection = LedgerDM->ZConnection();
    if (!connection)
        return fail(context, UiText(u"Godina nije zaključena: delovodnik nema vezu sa bazom podataka."));

    THistoryActor actor;
    actor.UserID = QVariant::fromValue(qint64(context.User.UserID));
    actor.UserName = context.User.FirstName + u' ' + context.User.LastName;
    actor.HostName = QSysInfo::machineHostName();
    try {
        if (CloseYear(*connection, year, actor) == TCloseOutcome::AlreadyClosed) {
            context.Err << UiText(u"Godina %1 je već zaključena; ništa nije urađeno.").arg(year) << Qt::endl;
            return kYearClosedAlready;
        }
    } catch (const KException &e) {
        return fail(context, UiText(u"Godina %1 nije zaključena: %2").arg(year).arg(e.message()));
    }
    try {
        SaveClosingNotePdf(ClosedYearNote(*connection, year), fileName);
    } catch (const KException &e) {
        return fail(context, UiText(u"Godina %1 je zaključena, ali zaključak nije upisan: %2").arg(year).arg(e.message()));
    }
    context.Out << UiText(u"Godina %1 je zaključena; zaključak je upisan u datoteku %2")
                       .arg(year)
                       .arg(QDir::toNativeSeparators(fileName))
                << Qt::endl;
    return ceDone;
}
