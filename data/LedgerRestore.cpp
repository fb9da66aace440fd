#include "LedgerRestore.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "ClosedYears.h"
#include "StoredForm.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerHistoryText.h"
#include "data/SubjectWords.h"

#include <QSqlQuery>
#include <QVariantMap>

namespace {

struct TLink
{
    const char *Column;
    const char *Table;
    const char *Key;
};

// Links left empty when what they name is gone.
const TLink OptionalLinks[] = {
    {"partnerid", "partner", "partnerid"},  {"documentid", "document", "documentid"},
    {"parentid", "ledgeritem", "ledgeritemid"}, {"inuserid", "user", "userid"},
    {"outuserid", "user", "userid"},
};

bool exists(TZConnection &connection, const QString &table, const QString &key, const QVariant &id)
{
    return connection.OpenQuery(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, key), {id})->next();
}

QString numberTakenText(const QString &number)
{
    return UiText(u"Broj %1 je u međuvremenu dodeljen drugoj stavci istog tipa, pa se obrisana stavka ne može "
                          u"vratiti pod njim.")
        .arg(number);
}

TRestoredItem restore(TZConnection &connection, qint64 historyID, const THistoryActor &actor)
{
    TZTransaction transaction(connection);
    qint64 itemID = 0;
    QString number;
    {
        auto entry = connection.OpenQuery(QStringLiteral("SELECT ledgeritemid, ledgernumber FROM ledgerhistory "
                                                         "WHERE ledgerhistoryid = ? AND changekind = 'd'"),
                                          {historyID});
        if (!entry.get() || !entry->next())
            throw KException(UiText(u"Zapis o brisanju stavke nije pronađen."));
        itemID = entry->value(0).toLongLong();
        number = entry->value(1).toString();
    }
    // Its last values are those of its newest deletion, not an earlier one.
    if (exists(connection, QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid"), itemID))
        throw KException(UiText(u"Stavka %1 je već vraćena u delovodnik.").arg(number));
    if (connection.OpenQuery(QStringLiteral("SELECT 1 FROM ledgerhistory WHERE ledgeritemid = ? AND changekind = 'd' "
                                            "AND ledgerhistoryid > ?"),
                             {itemID, historyID})
            ->next())
        throw KException(UiText(u"Stavka %1 je posle toga vraćena i ponovo obrisana: vraća se iz novijeg zapisa "
                                        u"o brisanju.")
                             .arg(number));

    QVariantMap values;
    {
        auto q = connection.OpenQuery(QStringLiteral("SELECT columnname, oldvalue FROM ledgerhistoryvalue "
                                                     "WHERE ledgerhistoryid = ?"),
                                      {historyID});
        while (q->next())
            values.insert(q->value(0).toString(), q->value(1));
    }
    // Only the columns the table has now, whatever an older entry held.
    QVariantMap row;
    for (const TColumnInfo &c : connection.TableColumns(QStringLiteral("ledgeritem"))) {
        const QString name = c.Name.toLower();
        if (values.contains(name) && name != QLatin1String("ledgeritemid") && !c.Generated)
            row.insert(name, values.value(name));
    }

    // A closed year's book stays as it was closed.
    CheckYearsOpen(connection, {ReadStoredDateTime(row.value(QStringLiteral("ledgerdatetime")).toString())});
    TRestoredItem result{itemID, number, {}};
    if (!exists(connection, QStringLiteral("user"), QStringLiteral("userid"), row.value(QStringLiteral("userid"))))
        throw KException(UiText(u"Stavka %1 se ne može vratiti: korisnik koji ju je zaveo više ne postoji.")
                             .arg(number));
    const QVariant origin = row.value(QStringLiteral("passonparentid"));
    if (!origin.isNull() && !exists(connection, QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid"), origin))
        throw KException(UiText(u"Stavka %1 je prosleđeni primerak, a stavka od koje je nastala više ne postoji, "
                                        u"pa se ne može vratiti.")
                             .arg(number));
    for (const TLink &link : OptionalLinks) {
        const QString column = QLatin1String(link.Column);
        const QVariant id = row.value(column);
        if (id.isNull() || exists(connection, QLatin1String(link.Table), QLatin1String(link.Key), id))
            continue;
        row.remove(column);
        result.DroppedLinks << HistoryColumnCaption(column);
    }
    if (origin.isNull()
        && connection.OpenQuery(QStringLiteral("SELECT 1 FROM ledgeritem WHERE direction = ? AND ledgernumber = ? "
                                               "AND passonparentid IS NULL"),
                                {row.value(QStringLiteral("direction")), number})
               ->next())
        throw KException(numberTakenText(number));

    QStringList columns{QStringLiteral("ledgeritemid")};
    QStringList marks{QStringLiteral("?")};
    QVariantList params{itemID};
    for (auto it = row.constBegin(); it != row.constEnd(); ++it) {
        columns << it.key();
        marks << QStringLiteral("?");
        params << it.value();
    }
    try {
        connection.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (%1) VALUES (%2)")
                               .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                           params);
    } catch (const EDatabaseError &e) {
        // Another desk took the number between the check and the insert.
        if (IsUniqueViolation(e))
            throw KException(numberTakenText(number));
        ThrowIfClosedYearRefusal(connection, e);
        throw;
    }
    JournalLedgerItemCopy(connection, itemID, actor);
    // Its words went with it when it was deleted.
    StoreStoredSubjectWords(connection, itemID);
    transaction.Commit();
    return result;
}

// The module's connection; a clear refusal without one.
TZConnection &bookConnection(TLedgerDM &dm)
{
    if (!dm.ZConnection())
        throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
    return *dm.ZConnection();
}

} // namespace

TRestoredItem RestoreDeletedItem(TZConnection &connection, qint64 historyID, const TUserDesc &user,
                                 const THistoryActor &actor)
{
    if (!user.Administrator)
        throw KException(UiText(u"Obrisanu stavku vraća administrator."));
    return RetryOnWriteConflict(connection, [&] { return restore(connection, historyID, actor); });
}

TRestoredItem RestoreDeletedItem(TLedgerDM &dm, qint64 historyID)
{
    TUserDesc user;
    if (!dm.Context() || !dm.Context()->CurrentUser(user))
        user = TUserDesc();
    const TRestoredItem item = RestoreDeletedItem(bookConnection(dm), historyID, user, dm.HistoryActor());
    emit dm.ItemStored(item.ItemID, nullptr);
    return item;
}

QString RestoredItemText(const TRestoredItem &item)
{
    QString text = UiText(u"Stavka %1 je vraćena u delovodnik.").arg(item.Number);
    if (!item.DroppedLinks.isEmpty())
        text += UiText(u"\nOstalo je prazno, jer više ne postoji: %1.").arg(item.DroppedLinks.join(QStringLiteral(", ")));
    return text;
}
