#include "HandoverAcceptance.h"

#include "ClosedYears.h"
#include "Field.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "SqlDialect.h"
#include "StoredForm.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/HistoryChain.h"
#include "data/ReportFile.h"

#include <QSqlQuery>
#include <QStringList>
#include <optional>
#include <utility>

namespace {

constexpr char16_t Gone[] = u"obrisana";

bool flag(const QVariant &value)
{
    return TField::DecodeFlag(value.toString()).value_or(false);
}

QString userName(TZConnection &connection, const QVariant &userID)
{
    if (userID.isNull())
        return {};
    auto q = connection.OpenQuery(QStringLiteral("SELECT CONCAT(firstname,' ',lastname) FROM user WHERE userid = ?"),
                                  {userID});
    return q->next() ? q->value(0).toString() : QString();
}

} // namespace

// The item as stored, read with its row held.
struct THandoverStoredItem
{
    QString Number;
    int Direction = 0;
    QVariant OutUserID;
    bool Accepted = false;
    bool Cancelled = false;
    QVariant InUserID;
    QString InUserName;
    QString ItemType;
    QVariant ItemDate;
    QVariant ItemNumber;
};

QString HandoverSkipMessage(const QList<THandoverSkip> &skipped, bool withdrawing)
{
    if (skipped.isEmpty())
        return {};
    QStringList items;
    for (const THandoverSkip &skip : skipped)
        items << QStringLiteral("%1 (%2)").arg(skip.Number, skip.Reason);
    return (withdrawing ? UiText(u"Nisu vraćene: ") : UiText(u"Nisu prihvaćene: "))
        + items.join(QStringLiteral(", "));
}

QString HandoverRecordTitle(int year, int number)
{
    return UiText(u"Zapisnik %1/%2").arg(number).arg(year % 100, 2, 10, QLatin1Char('0'));
}

THandoverAcceptance::THandoverAcceptance(TZConnection &connection, const TUserDesc &recipient,
                                         const THistoryActor &actor)
    : m_connection(connection), m_recipient(recipient), m_actor(actor)
{
}

QString THandoverAcceptance::RecordTitle() const
{
    return m_recordID ? HandoverRecordTitle(m_year, m_number) : QString();
}

QList<THandoverSkip> THandoverAcceptance::TakeSkipped()
{
    return std::exchange(m_skipped, {});
}

namespace {

// nullopt when the row is gone.
std::optional<THandoverStoredItem> readItem(TZConnection &connection, qint64 itemID)
{
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT l.ledgernumber, l.direction, l.outuserid, l.accepted, l.cancelled, l.inuserid, "
                       "CONCAT(u.firstname,' ',u.lastname), l.itemtype, l.itemdate, l.itemnumber "
                       "FROM ledgeritem AS l LEFT JOIN user AS u ON u.userid = l.inuserid WHERE l.ledgeritemid = ?"),
        {itemID});
    if (!q->next())
        return std::nullopt;
    THandoverStoredItem item;
    item.Number = q->value(0).toString();
    item.Direction = q->value(1).toInt();
    item.OutUserID = q->value(2);
    item.Accepted = flag(q->value(3));
    item.Cancelled = flag(q->value(4));
    item.InUserID = q->value(5);
    // An item nobody handed over (no inuserid) prints an empty name.
    item.InUserName = q->value(6).isNull() ? QStringLiteral("") : q->value(6).toString().trimmed();
    item.ItemType = q->value(7).toString();
    item.ItemDate = q->value(8);
    item.ItemNumber = q->value(9);
    return item;
}

} // namespace

QString THandoverAcceptance::acceptRefusal(const THandoverStoredItem &item) const
{
    if (item.Cancelled)
        return UiText(u"stornirana");
    if (item.OutUserID.isNull() || item.OutUserID.toLongLong() != m_recipient.UserID) {
        const QString to = userName(m_connection, item.OutUserID);
        return to.isEmpty() ? UiText(u"preusmerena") : UiText(u"preusmerena na ") + to;
    }
    return {};
}

bool THandoverAcceptance::Accept(qint64 itemID, const QString &listedNumber)
{
    return RetryOnWriteConflict(m_connection, [&] {
        const qint64 recordID = m_recordID;
        const int year = m_year, number = m_number;
        try {
            if (!store(itemID, listedNumber, true))
                return false;
        } catch (...) {
            // A record made in a transaction that did not commit is not there.
            m_recordID = recordID;
            m_year = year;
            m_number = number;
            throw;
        }
        m_accepted.insert(itemID);
        return true;
    });
}

bool THandoverAcceptance::Withdraw(qint64 itemID, const QString &listedNumber)
{
    if (!AcceptedHere(itemID)) {
        m_skipped << THandoverSkip{listedNumber, UiText(u"nije prihvaćena u ovom zapisniku")};
        return false;
    }
    return RetryOnWriteConflict(m_connection, [&] {
        if (!store(itemID, listedNumber, false))
            return false;
        m_accepted.remove(itemID);
        return true;
    });
}

// One acceptance or withdrawal in a transaction of its own: the item's row
// held and read as stored, the flag changed only under the condition the
// read checked, its history and the record's row beside it.
bool THandoverAcceptance::store(qint64 itemID, const QString &listedNumber, bool accept)
{
    const auto skip = [&](const QString &reason) {
        m_skipped << THandoverSkip{listedNumber, reason};
        return false;
    };
    TZTransaction transaction(m_connection);
    const std::optional<THandoverStoredItem> item =
        transaction.LockRow(QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid"), itemID)
        ? readItem(m_connection, itemID)
        : std::nullopt;
    if (!item)
        return skip(UiText(Gone));
    if (const QString refusal = acceptRefusal(*item); !refusal.isEmpty())
        return skip(refusal);
    if (item->Accepted == accept)
        return skip(accept ? UiText(u"već prihvaćena") : UiText(u"već vraćena"));
    if (const std::optional<int> closed = ClosedYearOfItem(m_connection, itemID))
        return skip(UiText(u"godina %1 je zaključena").arg(*closed));
    const QString from = TField::EncodeFlag(!accept), to = TField::EncodeFlag(accept);
    int rows = 0;
    try {
        rows = m_connection.ExecSQL(QStringLiteral("UPDATE ledgeritem SET accepted = ? WHERE ledgeritemid = ? "
                                                   "AND outuserid = ? AND accepted = ? AND cancelled = 'n'"),
                                    {to, itemID, m_recipient.UserID, from});
    } catch (const EDatabaseError &e) {
        // The year was closed on another desk after the check above.
        if (!ClosedYearRefusal(e))
            throw;
        return skip(UiText(u"zaključena godina"));
    }
    if (rows != 1)
        return skip(UiText(u"promenjena u međuvremenu"));
    JournalLedgerItemValues(m_connection, itemID, item->Number, {{QStringLiteral("accepted"), from, to, {}, {}}},
                            m_actor);
    if (accept)
        ensureRecord();
    insertRow(*item, itemID, accept ? u'a' : u'w');
    transaction.Commit();
    return true;
}

// The year's next number: the counter's row held, raised by one and read
// back, so two desks never get the same one. Inside the caller's transaction.
void THandoverAcceptance::ensureRecord()
{
    if (m_recordID)
        return;
    auto now = m_connection.OpenQuery(QStringLiteral("SELECT ") + m_connection.Dialect().NowSql());
    if (!now->next())
        throw EDatabaseError(UiText(u"Baza podataka nije dala vreme zapisnika."));
    const QDateTime at = ReadStoredDateTime(now->value(0));
    const int year = at.date().year();
    if (m_connection.ExecSQL(QStringLiteral("UPDATE handovercounter SET lastnumber = lastnumber + 1 WHERE year = ?"),
                             {year})
        == 0) {
        try {
            m_connection.ExecSQL(QStringLiteral("INSERT INTO handovercounter (year, lastnumber) VALUES (?, 1)"), {year});
        } catch (const EDatabaseError &e) {
            // Another desk began the year's count at the same moment.
            if (!IsUniqueViolation(e))
                throw;
            m_connection.ExecSQL(QStringLiteral("UPDATE handovercounter SET lastnumber = lastnumber + 1 WHERE year = ?"),
                                 {year});
        }
    }
    auto counter = m_connection.OpenQuery(QStringLiteral("SELECT lastnumber FROM handovercounter WHERE year = ?"), {year});
    if (!counter->next())
        throw EDatabaseError(UiText(u"Broj zapisnika nije dodeljen."));
    const int number = counter->value(0).toInt();
    m_connection.ExecSQL(QStringLiteral("INSERT INTO handoverrecord (year, number, createdat, recipientid, recipientname, "
                                        "hostname, organization) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                         {year, number, TZConnection::DateTimeText(at), m_recipient.UserID,
                          (m_recipient.FirstName + u' ' + m_recipient.LastName).trimmed(), m_actor.HostName,
                          ReportOrganization(m_connection)});
    m_recordID = m_connection.LastInsertID();
    m_year = year;
    m_number = number;
}

// After the row's history entry: the head read here is the one its paper
// prints, and this transaction still holds it.
void THandoverAcceptance::insertRow(const THandoverStoredItem &item, qint64 itemID, QChar action)
{
    const THistoryChainHead head = ReadHistoryChainHead(m_connection);
    m_connection.ExecSQL(
        QStringLiteral("INSERT INTO handoverrow (handoverrecordid, ledgeritemid, action, actedat, ledgernumber, "
                       "direction, inuserid, inusername, itemtype, itemdate, itemnumber, chaindigits, chainentries) "
                       "VALUES (?, ?, ?, %1, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(m_connection.Dialect().NowSql()),
        {m_recordID, itemID, QString(action), item.Number, item.Direction, item.InUserID, item.InUserName,
         item.ItemType, item.ItemDate, item.ItemNumber, head.Digits, head.Entries});
}
