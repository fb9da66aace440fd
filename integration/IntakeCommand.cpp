#include "IntakeCommand.h"

#include "Clock.h"
#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "data/IntakeProposals.h"
#include "data/IntakeRegistration.h"
#include "data/ItemDocumentText.h"
#include "data/LedgerDMUnit.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QTextStream>
#include <algorithm>

namespace {

const QString kIntake = QStringLiteral("intake");
const QString kDryRun = QStringLiteral("dry-run");

int fail(const TCommandContext &context, const QString &why)
{
    LogError(why);
    context.Err << why << Qt::endl;
    return ceFailed;
}

// "partner: Opština Čačak (PIB u tekstu, 98 %)"
QString proposalLine(const TProposal &p)
{
    return QStringLiteral("%1: %2 (%3, %4 %)")
        .arg(ProposalFieldName(p.Field), p.Value, p.Source, QString::number(qRound(p.Confidence * 100)));
}

TZConnection &connection()
{
    if (TZConnection *c = LedgerDM->ZConnection())
        return *c;
    throw KException(UiText(u"delovodnik nema vezu sa bazom podataka."));
}

int run(const TCommandValues &values, const TCommandContext &context, const TIntakeReader &read)
{
    const QString path = values.value(kIntake);
    if (!QFileInfo(path).isFile())
        throw KException(UiText(u"Datoteka %1 ne postoji.").arg(path));
    TIntakeControl control;
    const TIntakeDocument document = read ? read(path, control) : ReadIntakeFile(path, control);
    TZConnection &c = connection();
    const bool dryRun = values.contains(kDryRun);
    const QString dir = TLedgerDM::ConfiguredScannedDocumentDir();

    if (const auto stamped = FindStampedItem(c, document.QrCodes)) {
        if (dryRun) {
            context.Out << UiText(u"štambilj: stavka %1").arg(stamped->LedgerNumber) << Qt::endl;
            return ceDone;
        }
        AttachIntakeScan(c, dir, stamped->ItemID, document, LedgerDM->HistoryActor(), TClock::Now());
        context.Out << UiText(u"Priložen sken stavke %1").arg(stamped->LedgerNumber) << Qt::endl;
        return ceDone;
    }

    const QStringList itemTypes = IntakeItemTypes(c);
    const TIntakeProposals proposals = ProposeIntake(document, IntakePartners(c), itemTypes);
    QList<TProposal> shown = proposals.Proposals;
    std::stable_sort(shown.begin(), shown.end(),
                     [](const TProposal &a, const TProposal &b) { return int(a.Field) < int(b.Field); });
    const TProposal *partner = proposals.Best(TProposalField::Partner);
    const TProposal *number = proposals.Best(TProposalField::ItemNumber);
    const auto filled = [](const TProposal *p) { return p && p->Fills(); };
    const QList<TIntakeDuplicate> duplicates =
        FindIntakeDuplicates(c, document.Sha256, filled(partner) ? partner->PartnerID : 0,
                             filled(number) ? number->Value : QString());
    if (dryRun) {
        for (const TProposal &p : shown)
            context.Out << proposalLine(p) << Qt::endl;
        for (const TIntakeDuplicate &d : duplicates)
            context.Out << UiText(u"upozorenje: %1").arg(d.Reason) << Qt::endl;
        return ceDone;
    }
    if (!duplicates.isEmpty())
        throw KException(UiText(u"Dokument nije zaveden: %1.").arg(duplicates.first().Reason));
    const qint64 id = RegisterIntakeItem(*LedgerDM, document, proposals, itemTypes, dir);
    auto q = c.OpenQuery(QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE ledgeritemid = ?"), {id});
    context.Out << (q->next() ? q->value(0).toString() : QString()) << Qt::endl;
    return ceDone;
}

} // namespace

QList<TCommandOption> IntakeCommandOptions()
{
    return {
        {kIntake,
         UiText(u"Zavodi ulazni dokument (PDF, slika ili .eml) kao novu stavku sa predlozima iznad praga i "
                        u"dokumentom kao skenom, bez prozora (uz --user); ispisuje delovodni broj."),
         QStringLiteral("FILE"), true},
        {kDryRun, UiText(u"Uz --intake samo ispisuje predloge, red po red, i ništa ne zavodi."), QString()},
    };
}

bool IsIntakeCommand(const TCommandValues &values)
{
    return values.contains(kIntake);
}

QString IntakeCommandLineProblem(const TCommandValues &values, bool withLogin, int otherCommands)
{
    if (!values.contains(kIntake)) {
        if (values.contains(kDryRun))
            return UiText(u"Opcija --dry-run važi samo uz --intake.");
        return {};
    }
    if (otherCommands > 0)
        return UiText(u"Uz --intake se ne radi nijedan drugi posao.");
    if (!withLogin)
        return UiText(u"Uz prijem dokumenta prijava ide sa --user (i --password-stdin).");
    if (values.value(kIntake).trimmed().isEmpty())
        return UiText(u"Uz --intake treba navesti datoteku dokumenta.");
    return {};
}

int RunIntakeCommand(const TCommandValues &values, const TCommandContext &context,
                     const std::function<void()> &connect, const TIntakeReader &read)
{
    try {
        connect();
        return run(values, context, read);
    } catch (const EIntakeCancelled &) {
        return fail(context, UiText(u"Čitanje dokumenta je prekinuto."));
    } catch (const KException &e) {
        return fail(context, e.message());
    }
}
