#include "LedgerStorno.h"

#include "Clock.h"
#include "Field.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "StoredForm.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "ClosedYears.h"
#include "data/LedgerDMUnit.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// The words the schema's triggers refuse with (both backends).
const QString TriggerWords = QStringLiteral("Stavka je stornirana");

constexpr char16_t ItemGoneMsg[] = u"Stavka više ne postoji u delovodniku (izbrisana je u međuvremenu).";

TCancelTarget lockTarget(TZTransaction &transaction, TZConnection &connection, qint64 itemID)
{
    if (!transaction.LockRow(QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid"), itemID))
        throw KException(UiText(ItemGoneMsg));
    auto q = connection.OpenQuery(QStringLiteral("SELECT ledgernumber, passonparentid, cancelled, accepted, userid, "
                                                 "inuserid FROM ledgeritem WHERE ledgeritemid = ?"),
                                  {itemID});
    if (!q->next())
        throw KException(UiText(ItemGoneMsg));
    TCancelTarget t;
    t.ItemID = itemID;
    t.Number = q->value(0).toString();
    t.PassOnCopy = !q->value(1).isNull();
    t.Cancelled = TField::DecodeFlag(q->value(2).toString()).value_or(false);
    t.Accepted = TField::DecodeFlag(q->value(3).toString()).value_or(false);
    t.UserID = q->value(4).toLongLong();
    t.InUserID = q->value(5).toLongLong();
    return t;
}

QString userName(TZConnection &connection, qint64 userID)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT CONCAT(firstname,' ',lastname) FROM user WHERE userid = ?"),
                                  {userID});
    return q->next() ? q->value(0).toString() : QString();
}

// The module's connection; a clear refusal without one.
TZConnection &bookConnection(TLedgerDM &dm)
{
    if (!dm.ZConnection())
        throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
    return *dm.ZConnection();
}

} // namespace

QString CancelledItemMessage(const QString &number)
{
    return UiText(u"Stavka %1 je stornirana: ne može se menjati, brisati, prihvatiti ni predati, niti dobiti "
                          u"prilog.")
        .arg(number);
}

bool IsCancelledRowRefusal(const EDatabaseError &error)
{
    return error.details().contains(TriggerWords) || error.message().contains(TriggerWords);
}

void RefuseCancelledItem(TZConnection &connection, const QVariant &itemID)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT ledgernumber, cancelled FROM ledgeritem WHERE ledgeritemid = ?"),
                                  {itemID});
    if (q->next() && TField::DecodeFlag(q->value(1).toString()).value_or(false))
        throw KException(CancelledItemMessage(q->value(0).toString()));
}

QString CancelRefusal(const TCancelTarget &item, const TUserDesc &user)
{
    if (item.ItemID <= 0)
        return UiText(u"Stavka još nije sačuvana, pa ne može biti stornirana.");
    if (item.Cancelled)
        return UiText(u"Stavka %1 je već stornirana.").arg(item.Number);
    if (item.PassOnCopy)
        return UiText(u"Stavka %1 je prosleđeni primerak i ne stornira se posebno: stornira se stavka od koje je "
                              u"nastala.")
            .arg(item.Number);
    if (user.UserID <= 0)
        return UiText(u"Stavku stornira prijavljeni korisnik.");
    if (user.Administrator)
        return {};
    if (user.UserID != item.UserID && user.UserID != item.InUserID)
        return UiText(u"Stavku %1 stornira korisnik koji ju je zaveo ili administrator.").arg(item.Number);
    if (item.Accepted)
        return UiText(u"Stavka %1 je prihvaćena: stornira je administrator.").arg(item.Number);
    return {};
}

QString CancelReasonRefusal(const QString &reason)
{
    if (reason.trimmed().isEmpty())
        return UiText(u"Unesite razlog storniranja.");
    if (reason.trimmed().size() > CancelReasonMaxLength)
        return UiText(u"Razlog storniranja je duži od %1 znakova.").arg(CancelReasonMaxLength);
    return {};
}

void CancelLedgerItem(TZConnection &connection, qint64 itemID, const QString &reason, const TUserDesc &user,
                      const THistoryActor &actor)
{
    if (const QString refusal = CancelReasonRefusal(reason); !refusal.isEmpty())
        throw KException(refusal);
    const QString text = reason.trimmed();
    RetryOnWriteConflict(connection, [&] {
        TZTransaction transaction(connection);
        const TCancelTarget item = lockTarget(transaction, connection, itemID);
        if (const QString refusal = CancelRefusal(item, user); !refusal.isEmpty())
            throw KException(refusal);
        CheckItemYearOpen(connection, itemID);
        const QString at = TZConnection::DateTimeText(TClock::Now());
        const QVariant by = QVariant::fromValue(qint64(user.UserID));
        // Conditional: a row another desk cancelled meanwhile is left alone.
        int rows = 0;
        try {
            rows = connection.ExecSQL(QStringLiteral("UPDATE ledgeritem SET cancelled = 'y', cancelreason = ?, "
                                                     "cancelledby = ?, cancelledat = ? "
                                                     "WHERE ledgeritemid = ? AND cancelled = 'n'"),
                                      {text, by, at, itemID});
        } catch (const EDatabaseError &e) {
            // The year was closed on another desk after the check above.
            ThrowIfClosedYearRefusal(connection, e);
            throw;
        }
        if (rows != 1)
            throw KException(UiText(u"Stavka %1 je već stornirana.").arg(item.Number));
        JournalLedgerItemValues(connection, itemID, item.Number,
                                {{QStringLiteral("cancelled"), TField::EncodeFlag(false), TField::EncodeFlag(true), {}, {}},
                                 {QStringLiteral("cancelreason"), {}, text, {}, {}},
                                 {QStringLiteral("cancelledby"), {}, QString::number(user.UserID), {},
                                  userName(connection, user.UserID)},
                                 {QStringLiteral("cancelledat"), {}, at, {}, {}}},
                                actor);
        transaction.Commit();
    });
}

void CancelLedgerItem(TLedgerDM &dm, qint64 itemID, const QString &reason)
{
    TUserDesc user;
    if (!dm.Context() || !dm.Context()->CurrentUser(user))
        user = TUserDesc();
    CancelLedgerItem(bookConnection(dm), itemID, reason, user, dm.HistoryActor());
    emit dm.ItemStored(itemID, nullptr);
    dm.ShowStatus(UiText(u"Stornirano."));
}

std::optional<TCancelNote> ReadCancelNote(TZConnection &connection, qint64 itemID)
{
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT l.cancelled, l.cancelreason, l.cancelledat, CONCAT(u.firstname,' ',u.lastname) "
                       "FROM ledgeritem AS l LEFT JOIN user AS u ON u.userid = l.cancelledby WHERE l.ledgeritemid = ?"),
        {itemID});
    if (!q->next() || !TField::DecodeFlag(q->value(0).toString()).value_or(false))
        return std::nullopt;
    const QVariant at = q->value(2);
    return TCancelNote{q->value(1).toString(), q->value(3).toString().trimmed(),
                       ReadStoredDateTime(at)};
}

QString CancelNoteText(const TCancelNote &note)
{
    QStringList who;
    if (!note.ByName.isEmpty())
        who << note.ByName;
    if (note.At.isValid())
        who << note.At.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    QString text = UiText(u"Stornirano: ") + note.Reason;
    if (!who.isEmpty())
        text += QStringLiteral(" (") + who.join(QStringLiteral(", ")) + u')';
    return text;
}
