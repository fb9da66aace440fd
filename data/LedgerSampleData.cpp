#include "LedgerSampleData.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "LedgerSampleClassification.h"
#include "StoredForm.h"
#include "SubjectWords.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/LedgerHistory.h"

#include <QDateTime>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

namespace {

struct Item
{
    qint64 Id = 0;
    int Direction = 0;
    QDateTime When;
    QString Number;
    QVariant PartnerId, DocumentId;
    QString ItemType;
    QVariant ItemNumber, ItemDate;
    QVariant ParentId;
    QVariant InMailType, InMailNumber, OutMailType, OutMailNumber;
    QVariant InUserId;
    qint64 UserId = 0;
    QVariant OutUserId;
    bool Accepted = false;
    bool Archived = false;
    QVariant ArchivedNumber;
    QVariant PassOnParentId;
    QString Subject;
};

QVariant nullInt() { return QVariant(QMetaType::fromType<qint64>()); }
QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }

// Dates of the older items, spread over the year: (month, day).
const std::pair<int, int> kYearDates[] = {
    {1, 9}, {1, 23}, {2, 6}, {2, 27}, {3, 12}, {4, 2}, {4, 21},
    {5, 14}, {6, 5}, {7, 3}, {9, 10}, {10, 8}, {11, 4}, {12, 2},
};

const int kDirections[] = {1, -1, 1, 0, -1, 1, 0};

QString mailNumber(QRandomGenerator &rng)
{
    return QStringLiteral("RE%1RS").arg(rng.bounded(100000000, 999999999));
}

// The people, partners and documents the items refer to, by id.
struct Keys
{
    std::vector<qint64> Users, Partners, Documents;
};

// The console's sample rows, in the order it wrote them.
std::vector<qint64> ids(TZConnection &connection, const QString &sql)
{
    std::vector<qint64> result;
    auto q = connection.OpenQuery(sql);
    while (q->next())
        result.push_back(q->value(0).toLongLong());
    return result;
}

Keys readReferences(TZConnection &connection)
{
    Keys keys{ids(connection, QStringLiteral("SELECT userid FROM user ORDER BY userid")),
              ids(connection, QStringLiteral("SELECT partnerid FROM partner ORDER BY partnerid")),
              ids(connection, QStringLiteral("SELECT documentid FROM document ORDER BY documentid"))};
    if (keys.Users.size() < 3 || keys.Partners.empty() || keys.Documents.empty())
        throw KException(UiText(u"Primer delovodnika traži bar tri korisnika, jednog partnera i jedan dokument."));
    return keys;
}

// When the main items were registered, oldest first: spread over the past
// years, a few earlier this week (or the last days, early on a Monday) and
// a few today, none later than now.
std::vector<QDateTime> registrationTimes(const QDate &today, const QDateTime &now)
{
    const QDate weekStart = today.addDays(1 - today.dayOfWeek());
    std::vector<QDateTime> dates;
    for (int year : {2024, 2025, 2026})
        for (const auto &[month, day] : kYearDates) {
            const QDate d(year, month, day);
            if (d < today.addDays(-7))
                dates.push_back(QDateTime(d, QTime(8, 0).addSecs(60 * ((month * 53 + day * 17) % 420))));
        }
    for (int back : {3, 2, 1}) {
        QDate d = today.addDays(-back);
        if (d < weekStart && today != weekStart)
            d = weekStart;
        dates.push_back(QDateTime(d, QTime(9 + back, 10 * back)));
    }
    for (int k = 0; k < 3; ++k) {
        QTime t = QTime(8, 30).addSecs(k * 95 * 60);
        if (t > now.time())
            t = now.time() < QTime(0, 10) ? QTime(0, 0, k) : now.time().addSecs(-(3 - k) * 60);
        dates.push_back(QDateTime(today, t));
    }
    std::sort(dates.begin(), dates.end());
    return dates;
}

// What an item of that type is about; taken by position, never from the
// generator, so that the rest of the book stays as it was.
QString subjectOf(const QString &itemType, size_t position)
{
    static const QMap<QString, QStringList> subjects{
        {QStringLiteral("Dopis"),
         {QStringLiteral("Dostava tražene dokumentacije za javnu nabavku kancelarijskog materijala"),
          QStringLiteral("Obaveštenje o promeni adrese sedišta preduzeća"),
          QStringLiteral("Poziv na sastanak komisije za popis imovine")}},
        {QStringLiteral("Rešenje"),
         {QStringLiteral("Rešenje o korišćenju godišnjeg odmora"),
          QStringLiteral("Rešenje o upisu promene podataka u registar")}},
        {QStringLiteral("Faktura"),
         {QStringLiteral("Faktura za isporuku tonera i papira"),
          QStringLiteral("Faktura za usluge održavanja računarske opreme")}},
        {QStringLiteral("Zahtev"),
         {QStringLiteral("Zahtev za izdavanje uverenja o prebivalištu, Čačak"),
          QStringLiteral("Zahtev za pristup informacijama od javnog značaja"),
          QStringLiteral("Zahtev za nabavku službenog vozila")}},
        {QStringLiteral("Žalba"),
         {QStringLiteral("Žalba na rešenje o visini naknade za korišćenje prostora")}},
        {QStringLiteral("Ugovor"),
         {QStringLiteral("Ugovor o zakupu poslovnog prostora u Novom Sadu"),
          QStringLiteral("Ugovor o nabavci računarske opreme")}},
        {QStringLiteral("Odgovor na zahtev"),
         {QStringLiteral("Odgovor na zahtev za pristup informacijama od javnog značaja")}},
        {QStringLiteral("Obaveštenje"),
         {QStringLiteral("Obaveštenje o radnom vremenu pisarnice tokom praznika")}},
        {QStringLiteral("Zapisnik"),
         {QStringLiteral("Zapisnik sa sednice kolegijuma"),
          QStringLiteral("Zapisnik o primopredaji arhivske građe")}},
    };
    const QStringList choices = subjects.value(itemType, {QStringLiteral("Opšta prepiska")});
    return choices.at(qsizetype(position % size_t(choices.size())));
}

// Makes the main items one after the other. Every choice comes from one
// seeded generator in a fixed order, so the book is the same on every start.
class MainItemMaker
{
public:
    MainItemMaker(const Keys &keys, const QDate &today) : m_keys(keys), m_today(today) {}

    Item Make(size_t position, const QDateTime &when)
    {
        Item it;
        it.Direction = kDirections[position % std::size(kDirections)];
        it.When = when;
        const int year = it.When.date().year();
        const int n = ++m_counters[{it.Direction, year}];
        it.Number = QStringLiteral("%1/%2").arg(n).arg(year % 100, 2, 10, QLatin1Char('0'));
        it.UserId = pickUser();
        const bool withPartner = it.Direction != 0 || m_rng.bounded(10) < 3;
        it.PartnerId = withPartner ? QVariant(pick(m_keys.Partners)) : nullInt();
        it.DocumentId = m_rng.bounded(2) ? QVariant(pick(m_keys.Documents)) : nullInt();
        it.InMailType = it.OutMailType = nullInt();
        it.InMailNumber = it.OutMailNumber = it.ItemNumber = it.ArchivedNumber = nullText();
        it.ItemDate = QVariant(QMetaType::fromType<QDate>());
        it.ParentId = it.InUserId = it.OutUserId = it.PassOnParentId = nullInt();
        describe(it);
        it.Subject = subjectOf(it.ItemType, position);
        handOver(it);
        archive(it);
        return it;
    }

private:
    // Type, the sender's number and date, and the mail it came or went by.
    void describe(Item &it)
    {
        static const QStringList inTypes = {QStringLiteral("Dopis"), QStringLiteral("Rešenje"),
                                            QStringLiteral("Faktura"), QStringLiteral("Zahtev"),
                                            QStringLiteral("Žalba"), QStringLiteral("Ugovor")};
        static const QStringList outTypes = {QStringLiteral("Dopis"), QStringLiteral("Ugovor"),
                                             QStringLiteral("Odgovor na zahtev"), QStringLiteral("Obaveštenje")};
        static const QStringList internalTypes = {QStringLiteral("Zahtev"), QStringLiteral("Rešenje"),
                                                  QStringLiteral("Zapisnik"), QStringLiteral("Dopis")};
        const int year = it.When.date().year();
        if (it.Direction == 1) {
            it.ItemType = inTypes[m_rng.bounded(int(inTypes.size()))];
            it.ItemNumber = QStringLiteral("%1-%2/%3")
                                .arg(m_rng.bounded(1, 99), 2, 10, QLatin1Char('0'))
                                .arg(m_rng.bounded(100, 999))
                                .arg(year % 100, 2, 10, QLatin1Char('0'));
            it.ItemDate = it.When.date().addDays(-m_rng.bounded(1, 10));
            const int mail = m_rng.bounded(1, 6);
            it.InMailType = mail;
            if (mail == 2 || mail == 3)
                it.InMailNumber = mailNumber(m_rng);
        } else if (it.Direction == -1) {
            it.ItemType = outTypes[m_rng.bounded(int(outTypes.size()))];
            it.ItemDate = it.When.date();
            const int mail = m_rng.bounded(1, 6);
            it.OutMailType = mail;
            if (mail == 2 || mail == 3)
                it.OutMailNumber = mailNumber(m_rng);
        } else {
            it.ItemType = internalTypes[m_rng.bounded(int(internalTypes.size()))];
        }
    }

    // Who the item went on to and whether it was taken.
    void handOver(Item &it)
    {
        const qint64 ageDays = it.When.date().daysTo(m_today);
        if (ageDays <= 40 && m_pendingHandovers < 6 && m_rng.bounded(3) != 0) {
            // Handed over and not yet taken: half of them to Ana, who logs in first.
            it.OutUserId = (m_pendingHandovers % 2 == 0 && it.UserId != m_keys.Users[0]) ? m_keys.Users[0]
                                                                                          : otherUser(it.UserId);
            it.Accepted = false;
            ++m_pendingHandovers;
        } else if (m_rng.bounded(10) < 4) {
            it.OutUserId = otherUser(it.UserId);
            it.Accepted = true;
        } else {
            it.Accepted = m_rng.bounded(10) < 7;
        }
    }

    // Most old items are archived, numbered per year.
    void archive(Item &it)
    {
        const int year = it.When.date().year();
        if (it.When.date().daysTo(m_today) > 200 && m_rng.bounded(10) < 7) {
            it.Archived = true;
            it.ArchivedNumber =
                QStringLiteral("A-%1/%2").arg(year).arg(++m_archiveCounters[year], 3, 10, QLatin1Char('0'));
        }
    }

    qint64 pick(const std::vector<qint64> &ids) { return ids[m_rng.bounded(int(ids.size()))]; }

    // Ana registers half of the items, Marko most of the rest.
    qint64 pickUser()
    {
        const int r = int(m_rng.bounded(10));
        return m_keys.Users[r < 5 ? 0 : r < 8 ? 1 : 2];
    }

    qint64 otherUser(qint64 not_)
    {
        qint64 u;
        do
            u = pick(m_keys.Users);
        while (u == not_);
        return u;
    }

    const Keys &m_keys;
    const QDate m_today;
    // A fixed seed: every first start shows the same book.
    QRandomGenerator m_rng{20240109};
    QMap<std::pair<int, int>, int> m_counters; // (direction, year) -> last number
    QMap<int, int> m_archiveCounters;
    int m_pendingHandovers = 0;
};

void insertItem(TZConnection &connection, Item &it)
{
    static const QString insert = QStringLiteral(
        "INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, partnerid, documentid, itemtype, "
        "itemnumber, itemdate, parentid, inmailtype, inmailnumber, outmailtype, outmailnumber, inuserid, "
        "userid, outuserid, accepted, archived, archivednumber, passonparentid, subject) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    connection.ExecSQL(insert, {it.Direction, it.When, it.Number, it.PartnerId, it.DocumentId, it.ItemType,
                                it.ItemNumber, it.ItemDate, it.ParentId, it.InMailType, it.InMailNumber,
                                it.OutMailType, it.OutMailNumber, it.InUserId, it.UserId, it.OutUserId,
                                StoredFlag(it.Accepted), StoredFlag(it.Archived), it.ArchivedNumber, it.PassOnParentId,
                                it.Subject});
    it.Id = connection.LastInsertID();
    StoreSubjectWords(connection, it.Id, it.Subject);
}

// Additional items filed under a main one, numbered <main>-1, <main>-2.
std::vector<Item> additionalItems(const std::vector<Item> &items, const QDateTime &now)
{
    std::vector<Item> extra;
    const size_t total = items.size();
    const size_t parents[] = {total / 2, total / 2 + 3, total - 8};
    for (size_t p : parents) {
        const Item &main = items[p];
        const int count = p == parents[0] ? 2 : 1;
        for (int k = 1; k <= count; ++k) {
            Item child = main;
            child.Id = 0;
            child.Number = QStringLiteral("%1-%2").arg(main.Number).arg(k);
            child.When = std::min(main.When.addDays(k), now);
            child.ItemType = QStringLiteral("Dopis");
            child.ParentId = main.Id;
            child.OutUserId = nullInt();
            child.Accepted = true;
            extra.push_back(child);
        }
    }
    return extra;
}

// Copies passed on to the colleague the item was handed to, newest first
// so that they show among this year's items.
std::vector<Item> passedOnCopies(const std::vector<Item> &items, const QDateTime &now)
{
    std::vector<Item> copies;
    for (auto it = items.rbegin(); it != items.rend() && copies.size() < 3; ++it) {
        const Item &main = *it;
        if (main.OutUserId.isNull() || !main.Accepted || main.Archived)
            continue;
        Item copy = main;
        copy.Id = 0;
        copy.When = std::min(main.When.addSecs(3600), now);
        copy.UserId = main.OutUserId.toLongLong();
        copy.InUserId = main.OutUserId;
        copy.OutUserId = nullInt();
        copy.Accepted = false;
        copy.PassOnParentId = main.Id;
        copies.push_back(copy);
    }
    return copies;
}

QString userName(TZConnection &connection, qint64 userId)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT CONCAT(firstname,' ',lastname) FROM user WHERE userid = ?"),
                                  {userId});
    return q->next() ? q->value(0).toString() : QString();
}

// A history entry as the ledger module writes it: one changed column, or
// none for the registration.
void historyEntry(TZConnection &connection, const Item &it, const QDateTime &when, const QString &kind, qint64 userId,
                  const QString &column = {}, const QVariant &oldValue = {}, const QVariant &newValue = {},
                  const QVariant &newText = {})
{
    const THistoryActor actor{QVariant::fromValue(userId), userName(connection, userId), QStringLiteral("PISARNICA-1")};
    QList<THistoryValue> values;
    if (!column.isEmpty())
        values << THistoryValue{column, oldValue, newValue, {}, newText.toString()};
    JournalLedgerItemEntryAt(connection, kind == QLatin1String("i") ? THistoryKind::Insert : THistoryKind::Update, it.Id,
                             it.Number, values, actor, when);
}

void acceptedEntry(TZConnection &connection, const Item &it, const QDateTime &when)
{
    historyEntry(connection, it, when, QStringLiteral("u"), it.OutUserId.toLongLong(), QStringLiteral("accepted"),
                 QStringLiteral("n"), QStringLiteral("y"));
}

// One item travels further: its passed-on copy is handed to a colleague and
// passed on once more, each copy accepted, and the item gets an enclosure;
// the history tells who accepted each copy and when.
void custodyChain(TZConnection &connection, const Item &main, Item copy, int enclosures, const QDateTime &now)
{
    const auto later = [&now](const QDateTime &t, int minutes) { return std::min(t.addSecs(60 * minutes), now); };
    historyEntry(connection, main, main.When, QStringLiteral("i"), main.UserId);
    acceptedEntry(connection, main, later(main.When, 20));

    Item enclosure = main;
    enclosure.Number = QStringLiteral("%1-%2").arg(main.Number).arg(enclosures + 1);
    enclosure.When = later(main.When, 5);
    enclosure.ItemType = QStringLiteral("Dopis");
    enclosure.ParentId = main.Id;
    enclosure.OutUserId = nullInt();
    insertItem(connection, enclosure);
    historyEntry(connection, enclosure, enclosure.When, QStringLiteral("i"), enclosure.UserId);

    // The copy was made without a recipient; its holder named the third
    // colleague, who took it.
    auto third = connection.OpenQuery(QStringLiteral("SELECT userid FROM user WHERE userid NOT IN (?, ?) ORDER BY userid"),
                                      {main.UserId, copy.UserId});
    const QVariant next = third->next() ? QVariant(third->value(0).toLongLong()) : QVariant(main.UserId);
    connection.ExecSQL(QStringLiteral("UPDATE ledgeritem SET outuserid = ?, accepted = 'y' WHERE ledgeritemid = ?"),
                       {next, copy.Id});
    historyEntry(connection, copy, copy.When, QStringLiteral("i"), copy.UserId, QStringLiteral("passonparentid"), QVariant(),
                 main.Id, main.Number);
    copy.OutUserId = next;
    historyEntry(connection, copy, later(copy.When, 10), QStringLiteral("u"), copy.UserId, QStringLiteral("outuserid"),
                 QVariant(), next, userName(connection, next.toLongLong()));
    acceptedEntry(connection, copy, later(copy.When, 25));

    Item last = copy;
    last.Id = 0;
    last.When = later(copy.When, 30);
    last.UserId = next.toLongLong();
    last.InUserId = next;
    last.OutUserId = main.UserId;
    last.Accepted = true;
    last.PassOnParentId = copy.Id;
    insertItem(connection, last);
    historyEntry(connection, last, last.When, QStringLiteral("i"), last.UserId, QStringLiteral("passonparentid"), QVariant(),
                 copy.Id, copy.Number);
    acceptedEntry(connection, last, later(last.When, 15));
}

// One older item was registered twice by mistake and cancelled an hour
// later: it keeps its number, struck through in the list.
void cancelledItem(TZConnection &connection, const std::vector<Item> &items, const std::vector<Item> &extra,
                   const QDateTime &now)
{
    for (const Item &it : items) {
        const bool used = std::any_of(extra.begin(), extra.end(), [&it](const Item &e) {
            return e.ParentId.toLongLong() == it.Id || e.PassOnParentId.toLongLong() == it.Id;
        });
        if (used || it.Accepted || !it.PassOnParentId.isNull())
            continue;
        const QDateTime at = std::min(it.When.addSecs(3600), now);
        connection.ExecSQL(QStringLiteral("UPDATE ledgeritem SET cancelled = 'y', cancelreason = ?, cancelledby = ?, "
                                          "cancelledat = ? WHERE ledgeritemid = ?"),
                           {QStringLiteral("Greškom zavedeno dva puta: isti dopis je zaveden pod prethodnim brojem."),
                            it.UserId, TZConnection::DateTimeText(at), it.Id});
        historyEntry(connection, it, at, QStringLiteral("u"), it.UserId, QStringLiteral("cancelled"), QStringLiteral("n"),
                     QStringLiteral("y"));
        return;
    }
}

// The book's list of document types offers every type the items use.
void listItemTypes(TZConnection &connection)
{
    if (!connection.TableExists(QStringLiteral("itemtype")))
        return;
    connection.ExecSQL(QStringLiteral("INSERT INTO itemtype (name) SELECT DISTINCT l.itemtype FROM ledgeritem l "
                                      "WHERE NOT EXISTS (SELECT 1 FROM itemtype t WHERE t.name = l.itemtype)"));
}

} // namespace

void FillLedgerSampleData(TZConnection &connection, const QDate &today)
{
    TZTransaction transaction(connection);
    const Keys keys = readReferences(connection);

    const QDateTime now(today, QDate::currentDate() == today ? QTime::currentTime() : QTime(16, 0));
    const std::vector<QDateTime> times = registrationTimes(today, now);
    MainItemMaker maker(keys, today);
    std::vector<Item> items;
    for (size_t i = 0; i < times.size(); ++i)
        items.push_back(maker.Make(i, times[i]));
    for (Item &it : items)
        insertItem(connection, it);

    // The later items refer to the main ones by id, so they go in after them.
    std::vector<Item> extra = additionalItems(items, now);
    for (const Item &copy : passedOnCopies(items, now))
        extra.push_back(copy);
    std::sort(extra.begin(), extra.end(), [](const Item &a, const Item &b) { return a.When < b.When; });
    for (Item &it : extra)
        insertItem(connection, it);

    // The first passed-on copy grows into a chain of custody.
    const auto copy = std::find_if(extra.begin(), extra.end(), [](const Item &it) { return !it.PassOnParentId.isNull(); });
    if (copy != extra.end()) {
        const auto main = std::find_if(items.begin(), items.end(),
                                       [&copy](const Item &it) { return it.Id == copy->PassOnParentId.toLongLong(); });
        const auto enclosures = std::count_if(extra.begin(), extra.end(),
                                              [&main](const Item &it) { return it.ParentId.toLongLong() == main->Id; });
        custodyChain(connection, *main, *copy, int(enclosures), now);
    }
    cancelledItem(connection, items, extra, now);
    listItemTypes(connection);
    ClassifySampleItems(connection);
    transaction.Commit();
}
