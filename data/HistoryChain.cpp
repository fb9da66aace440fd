#include "HistoryChain.h"

#include "HistoryChainHash.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ReadRows.h"
#include "ServerWait.h"
#include "StoredForm.h"
#include "ZConnection.h"

#include <QSqlQuery>
#include <atomic>
#include <optional>

namespace {

// 12345 as "12.345".
QString grouped(qint64 number)
{
    QString digits = QString::number(number);
    for (qsizetype i = digits.size() - 3; i > 0 && digits.at(i - 1).isDigit(); i -= 3)
        digits.insert(i, u'.');
    return digits;
}

QString entriesText(qint64 entries)
{
    return grouped(entries) + (entries % 10 == 1 && entries % 100 != 11 ? UiText(u" unos") : UiText(u" unosa"));
}

struct TEntry
{
    qint64 ID = 0;
    bool Chained = false;
    QByteArray Hash;
    THistoryChainRecord Record;
};

// "(08.12.2026 10:15, stavka 5/26)"
QString about(const TEntry &e)
{
    const QDateTime when = ReadStoredDateTime(QString::fromUtf8(e.Record.ChangedAt));
    const QString item = e.Record.LedgerNumber.isEmpty() ? UiText(u"stavka bez broja")
                                                         : UiText(u"stavka ") + QString::fromUtf8(e.Record.LedgerNumber);
    return QStringLiteral("(%1, %2)").arg(when.toString(QStringLiteral("dd.MM.yyyy hh:mm")), item);
}

// "Unos 1234 (08.12.2026 10:15, stavka 5/26)", or "unos ..." within a sentence.
QString entryText(const TEntry &e, bool first = true)
{
    return UiText(u"%1 %2 %3").arg(first ? UiText(u"Unos") : UiText(u"unos")).arg(e.Record.Position).arg(about(e));
}

struct TStop
{
};

// The walk over the chain, one entry at a time, each told once complete.
class TChainWalk
{
public:
    TChainWalk(const THistoryChainHead &head, const QByteArray &headHash) : m_headEntries(head.Entries), m_headHash(headHash) {}

    // False once a fault is found.
    bool Take(TEntry e)
    {
        if (!e.Chained)
            return fail(THistoryFault::Inserted, e,
                        UiText(u"Unos %1 je umetnut: nije u lancu istorije.").arg(about(e)));
        const qint64 stored = e.Record.Position;
        if (m_suspect) {
            swappedOrChanged(*m_suspect, e);
            return false;
        }
        if (stored != m_expected) {
            missing();
            return false;
        }
        if (HistoryChainHash(e.Record, m_previous) != e.Hash) {
            m_suspect = std::move(e); // a swap shows only with the next entry
            return true;
        }
        if (stored == m_headEntries && e.Hash != m_headHash)
            return fail(THistoryFault::Head, e,
                        UiText(u"Kontrolni zbir istorije ne odgovara unosu %1 %2: zaglavlje lanca je izmenjeno.")
                            .arg(stored)
                            .arg(about(e)));
        m_previous = e.Hash;
        m_last = std::move(e);
        ++m_expected;
        m_checked.store(m_expected - 1, std::memory_order_relaxed);
        return true;
    }

    // After the last entry; latestEntries: the head's count read again.
    void Finish(qint64 latestEntries)
    {
        if (!m_check.Intact())
            return;
        if (m_suspect) {
            // One past the head, and not there even now: added, not written.
            if (m_suspect->Record.Position > latestEntries)
                fail(THistoryFault::Inserted, *m_suspect,
                     entryText(*m_suspect) + UiText(u" je umetnut: kontrolni zbir istorije broji %1.")
                                                 .arg(entriesText(latestEntries)));
            else
                fail(THistoryFault::Changed, *m_suspect, entryText(*m_suspect) + UiText(u" je izmenjen."));
            return;
        }
        const qint64 last = m_expected - 1;
        if (last < m_headEntries) {
            missing();
            return;
        }
        // Entries written since the head was read are in the head by now.
        if (last > latestEntries && m_last) {
            fail(THistoryFault::Inserted, *m_last,
                 entryText(*m_last) + UiText(u" je umetnut: kontrolni zbir istorije broji %1.")
                                          .arg(entriesText(latestEntries)));
            return;
        }
        m_check.Checked = last;
        m_check.Text = UiText(u"Istorija je neizmenjena: %1 u lancu.").arg(entriesText(last));
    }

    THistoryChainCheck Result() const { return m_check; }
    const std::atomic<qint64> &Checked() const { return m_checked; }

private:
    // The entry expected next is not there: named by its place, after the
    // last one found intact.
    void missing()
    {
        m_check.Fault = THistoryFault::Missing;
        m_check.Position = m_expected;
        m_check.Checked = m_expected - 1;
        m_check.Text = UiText(u"Unos %1 nedostaje (obrisan je).").arg(m_expected)
            + (m_last ? UiText(u" Poslednji ispravan je %1.").arg(entryText(*m_last, false)) : QString());
    }

    bool fail(THistoryFault fault, const TEntry &e, const QString &text)
    {
        m_check.Fault = fault;
        m_check.Position = e.Chained ? e.Record.Position : 0;
        m_check.When = ReadStoredDateTime(QString::fromUtf8(e.Record.ChangedAt));
        m_check.ItemNumber = QString::fromUtf8(e.Record.LedgerNumber);
        m_check.Checked = m_expected - 1;
        m_check.Text = text;
        return false;
    }

    // first failed at its place; second is the entry after it. Two entries
    // that changed places each verify at the other's place.
    void swappedOrChanged(const TEntry &first, const TEntry &second)
    {
        THistoryChainRecord moved = second.Record;
        moved.Position = first.Record.Position;
        const QByteArray x = HistoryChainHash(moved, m_previous);
        if (second.Record.Position == first.Record.Position + 1 && (x == first.Hash || x == second.Hash)) {
            THistoryChainRecord back = first.Record;
            back.Position = second.Record.Position;
            const QByteArray y = HistoryChainHash(back, x);
            if (y == first.Hash || y == second.Hash) {
                fail(THistoryFault::Swapped, first,
                     UiText(u"Unosi %1 %2 i %3 %4 su zamenili mesta.")
                         .arg(first.Record.Position)
                         .arg(about(second))
                         .arg(second.Record.Position)
                         .arg(about(first)));
                return;
            }
        }
        fail(THistoryFault::Changed, first, entryText(first) + UiText(u" je izmenjen."));
    }

    const qint64 m_headEntries;
    const QByteArray m_headHash;
    qint64 m_expected = 1;
    QByteArray m_previous;
    std::optional<TEntry> m_last;
    std::optional<TEntry> m_suspect;
    std::atomic<qint64> m_checked{0};
    THistoryChainCheck m_check;
};

std::pair<THistoryChainHead, QByteArray> readHead(TZConnection &connection)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT entries, headhash FROM historychain WHERE chainid = 1"));
    if (!q->next())
        throw EDatabaseError(UiText(u"Knjiga nema zaglavlje lanca istorije (tabela historychain)."));
    const QByteArray hash = q->value(1).toString().toLatin1();
    return {THistoryChainHead{QString::fromLatin1(hash.left(16)), q->value(0).toLongLong()}, hash};
}

} // namespace

QString THistoryChainHead::Text() const
{
    if (Entries == 0)
        return UiText(u"Kontrolni zbir istorije: nema unosa");
    return UiText(u"Kontrolni zbir istorije: %1 (%2)").arg(Digits, entriesText(Entries));
}

THistoryChainHead ReadHistoryChainHead(TZConnection &connection)
{
    return readHead(connection).first;
}

THistoryChainCheck VerifyHistoryChain(TZConnection &connection, const std::function<bool(qint64, qint64)> &progress)
{
    const auto read = readHead(connection);
    const THistoryChainHead head = read.first;
    TChainWalk walk(head, read.second);
    std::optional<TReadProgress> shown;
    if (progress)
        shown.emplace([&](qint64) { return progress(walk.Checked().load(std::memory_order_relaxed), head.Entries); });
    // Entries outside the chain (NULL) come first, and the first one read is
    // named; a chained entry's values follow it.
    TEntry current;
    bool any = false;
    try {
        ReadRows(connection,
                 QStringLiteral("SELECT h.ledgerhistoryid, h.chainseq, h.entryhash, h.ledgeritemid, h.changedat, "
                                "h.changekind, h.userid, h.username, h.hostname, h.ledgernumber, v.columnname, "
                                "v.oldvalue, v.newvalue, v.oldtext, v.newtext FROM ledgerhistory AS h LEFT JOIN "
                                "ledgerhistoryvalue AS v ON v.ledgerhistoryid = h.ledgerhistoryid "
                                "ORDER BY h.chainseq"),
                 {}, [&](const TReadRow &r) {
                     const qint64 id = r.Integer(0);
                     if (!any || id != current.ID) {
                         if (any && !walk.Take(std::move(current)))
                             throw TStop();
                         any = true;
                         current = TEntry();
                         current.ID = id;
                         current.Chained = !r.IsNull(1) && !r.IsNull(2);
                         current.Record.Position = r.Integer(1);
                         current.Hash = r.Utf8(2);
                         current.Record.ItemID = r.Integer(3);
                         current.Record.ChangedAt = r.Utf8(4);
                         current.Record.Kind = r.Utf8(5);
                         current.Record.UserID = r.Utf8(6);
                         current.Record.UserName = r.Utf8(7);
                         current.Record.HostName = r.Utf8(8);
                         current.Record.LedgerNumber = r.Utf8(9);
                     }
                     if (!r.IsNull(10))
                         current.Record.Values << THistoryChainRecord::TValue{r.Utf8(10), r.Utf8(11),
                                                                              r.Utf8(12), r.Utf8(13),
                                                                              r.Utf8(14)};
                 });
        if (any && !walk.Take(std::move(current)))
            throw TStop();
    } catch (const TStop &) {
    }
    shown.reset();
    walk.Finish(readHead(connection).first.Entries);
    return walk.Result();
}
