// The history's hash chain: written with every entry, checked from end to
// end; each way of rewriting history found and named; the database's own
// refusals; the upgrade that chains an older book's history; two desks (on
// a cluster two nodes) writing history at once.

#include "DatasetTestUtil.h"
#include "HistoryChainRows.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "TestDb.h"
#include "ZTransaction.h"
#include "data/HistoryChain.h"
#include "data/LedgerHistory.h"

#include <QtTest>

namespace {

const THistoryActor Ana{QVariant::fromValue(qint64(1)), QStringLiteral("Ana Petrović"), QStringLiteral("PISARNICA-1")};

// One entry as the data layer writes it, in a transaction of its own.
void journal(TZConnection &c, qint64 item, const QString &value)
{
    RetryOnWriteConflict(c, [&] {
        TZTransaction t(c);
        JournalLedgerItemValues(c, item, QStringLiteral("%1/26").arg(item),
                                {{QStringLiteral("archivednumber"), QStringLiteral("1"), value, {}, {}},
                                 {QStringLiteral("subject"), {}, QStringLiteral("Žalba"), {}, {}}},
                                Ana);
        t.Commit();
    });
}

} // namespace

class TestHistoryChain : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> db;
    std::unique_ptr<TZConnection> admin; // a second SQL client with every right
    TZConnection &conn() { return db->Connection(); }

private slots:
    void init()
    {
        DB_SETUP(db);
        admin = db->OpenAdminConnection();
    }
    void cleanup()
    {
        admin.reset();
        db.reset();
    }

    void writtenEntriesVerify()
    {
        QVERIFY(VerifyHistoryChain(conn()).Intact());
        QCOMPARE(ReadHistoryChainHead(conn()).Text(), QStringLiteral("Kontrolni zbir istorije: nema unosa"));
        for (int n = 1; n <= 3; ++n)
            journal(conn(), n, QStringLiteral("A-%1").arg(n));
        qint64 last = 0;
        const THistoryChainCheck check = VerifyHistoryChain(conn(), [&](qint64 done, qint64 total) {
            last = total;
            return done <= total;
        });
        QVERIFY2(check.Intact(), qPrintable(check.Text));
        QCOMPARE(check.Text, QStringLiteral("Istorija je neizmenjena: 3 unosa u lancu."));
        const THistoryChainHead head = ReadHistoryChainHead(conn());
        QCOMPARE(head.Entries, 3);
        QCOMPARE(head.Digits.size(), 16);
        QCOMPARE(head.Text(), QStringLiteral("Kontrolni zbir istorije: %1 (3 unosa)").arg(head.Digits));
        // The time is the database's, as stored.
        const QString at = dst::scalar(conn(), QStringLiteral("SELECT changedat FROM ledgerhistory WHERE chainseq = 3")).toString();
        QVERIFY2(qAbs(QDateTime::fromString(at.left(19), Qt::ISODate).secsTo(QDateTime::currentDateTime())) < 300, qPrintable(at));
    }

    void tamperingIsFound_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<int>("fault");
        QTest::addColumn<qint64>("position");
        QTest::addColumn<QString>("text");
        const QString entry3 = QStringLiteral("(SELECT ledgerhistoryid FROM ledgerhistory WHERE chainseq = 3)");
        QTest::newRow("value changed")
            << QStringList{QStringLiteral("UPDATE ledgerhistoryvalue SET newvalue = '3' WHERE columnname = 'outuserid' AND "
                                          "ledgerhistoryid = ") + entry3}
            << int(THistoryFault::Changed) << qint64(3)
            << QStringLiteral("Unos 3 (08.12.2026 10:03, stavka 3/26) je izmenjen.");
        QTest::newRow("user changed")
            << QStringList{QStringLiteral("UPDATE ledgerhistory SET username = 'Marko Jovanović' WHERE chainseq = 2")}
            << int(THistoryFault::Changed) << qint64(2)
            << QStringLiteral("Unos 2 (08.12.2026 10:02, stavka 2/26) je izmenjen.");
        QTest::newRow("entry deleted")
            << QStringList{QStringLiteral("DELETE FROM ledgerhistoryvalue WHERE ledgerhistoryid = ") + entry3,
                           QStringLiteral("DELETE FROM ledgerhistory WHERE chainseq = 3")}
            << int(THistoryFault::Missing) << qint64(3)
            << QStringLiteral("Unos 3 nedostaje (obrisan je). Poslednji ispravan je unos 2 (08.12.2026 10:02, stavka 2/26).");
        QTest::newRow("last entry deleted")
            << QStringList{QStringLiteral("DELETE FROM ledgerhistory WHERE chainseq = 5")}
            << int(THistoryFault::Missing) << qint64(5)
            << QStringLiteral("Unos 5 nedostaje (obrisan je). Poslednji ispravan je unos 4 (08.12.2026 10:04, stavka 4/26).");
        QTest::newRow("entry inserted")
            << QStringList{QStringLiteral("INSERT INTO ledgerhistory (ledgeritemid, changedat, changekind, username, hostname, "
                                          "ledgernumber) VALUES (9, '2026-12-08 11:30:00', 'd', 'Ana Petrović', 'PC', '9/26')")}
            << int(THistoryFault::Inserted) << qint64(0)
            << QStringLiteral("Unos (08.12.2026 11:30, stavka 9/26) je umetnut: nije u lancu istorije.");
        QTest::newRow("entry appended past the head")
            << QStringList{QStringLiteral("INSERT INTO ledgerhistory (ledgeritemid, changedat, changekind, username, hostname, "
                                          "ledgernumber, chainseq, entryhash) VALUES (9, '2026-12-08 11:30:00', 'd', "
                                          "'Ana Petrović', 'PC', '9/26', 6, '00')")}
            << int(THistoryFault::Inserted) << qint64(6)
            << QStringLiteral("Unos 6 (08.12.2026 11:30, stavka 9/26) je umetnut: kontrolni zbir istorije broji 5 unosa.");
        QTest::newRow("two entries swapped")
            << QStringList{QStringLiteral("UPDATE ledgerhistory SET chainseq = -2 WHERE chainseq = 2"),
                           QStringLiteral("UPDATE ledgerhistory SET chainseq = 2 WHERE chainseq = 3"),
                           QStringLiteral("UPDATE ledgerhistory SET chainseq = 3 WHERE chainseq = -2")}
            << int(THistoryFault::Swapped) << qint64(2)
            << QStringLiteral("Unosi 2 (08.12.2026 10:02, stavka 2/26) i 3 (08.12.2026 10:03, stavka 3/26) su zamenili mesta.");
        QTest::newRow("head changed")
            << QStringList{QStringLiteral("UPDATE historychain SET headhash = '0123456789abcdef0123456789abcdef0123456789abcdef"
                                          "0123456789abcdef'")}
            << int(THistoryFault::Head) << qint64(5)
            << QStringLiteral("Kontrolni zbir istorije ne odgovara unosu 5 (08.12.2026 10:05, stavka 5/26): zaglavlje "
                              "lanca je izmenjeno.");
    }

    void tamperingIsFound()
    {
        QFETCH(QStringList, statements);
        hcr::WriteChained(*admin, 5);
        QVERIFY(VerifyHistoryChain(conn()).Intact());
        hcr::LiftRefusals(*admin);
        hcr::Run(*admin, statements);
        const THistoryChainCheck check = VerifyHistoryChain(conn());
        QTEST(check.Text, "text");
        QTEST(int(check.Fault), "fault");
        QTEST(check.Position, "position");
    }

    void sqliteRefusesRewriting_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("entry updated") << QStringLiteral("UPDATE ledgerhistory SET username = 'Marko Jovanović'");
        QTest::newRow("entry deleted") << QStringLiteral("DELETE FROM ledgerhistory");
        QTest::newRow("value updated") << QStringLiteral("UPDATE ledgerhistoryvalue SET newvalue = 'n'");
        QTest::newRow("value deleted") << QStringLiteral("DELETE FROM ledgerhistoryvalue");
        QTest::newRow("chained again") << QStringLiteral("UPDATE ledgerhistory SET chainseq = 7, entryhash = 'ab'");
        QTest::newRow("head deleted") << QStringLiteral("DELETE FROM historychain");
    }

    void sqliteRefusesRewriting()
    {
        QFETCH(QString, sql);
        if (conn().Backend() != TBackend::SQLite)
            QSKIP("MariaDB refuses it through the desks' account");
        hcr::WriteChained(conn(), 2);
        try {
            conn().ExecSQL(sql);
            QFAIL("history was rewritten");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("Istorija izmena se ne može menjati ni brisati.")),
                     qPrintable(e.message()));
        }
        QVERIFY(VerifyHistoryChain(conn()).Intact());
    }

    // A book from before the chain: its history joins it once, in order.
    void upgradeChainsOlderHistoryOnce()
    {
        TZConnection &c = *admin;
        const bool sqlite = c.Backend() == TBackend::SQLite;
        hcr::LiftRefusals(c);
        c.ExecSQL(QStringLiteral("DROP TABLE historychain"));
        c.ExecSQL(sqlite ? QStringLiteral("DROP INDEX ux_ledgerhistory_chain")
                         : QStringLiteral("DROP INDEX ux_ledgerhistory_chain ON ledgerhistory"));
        c.ExecSQL(QStringLiteral("ALTER TABLE ledgerhistory DROP COLUMN chainseq"));
        c.ExecSQL(QStringLiteral("ALTER TABLE ledgerhistory DROP COLUMN entryhash"));
        c.ExecSQL(QStringLiteral("DELETE FROM schemaversion WHERE version >= 7"));
        for (int n = 1; n <= 3; ++n)
            c.ExecSQL(QStringLiteral("INSERT INTO ledgerhistory (ledgeritemid, changedat, changekind, userid, username, "
                                     "hostname, ledgernumber) VALUES (?, '2025-03-04 10:00:00', 'i', NULL, 'Ana Petrović', "
                                     "'PC', ?)"),
                      {n, QStringLiteral("%1/25").arg(n)});
        UpgradeSchema(c);
        const QString head = ReadHistoryChainHead(c).Text();
        UpgradeSchema(c);
        QCOMPARE(ReadHistoryChainHead(c).Text(), head);
        QCOMPARE(ReadHistoryChainHead(c).Entries, 3);
        QCOMPARE(dst::scalar(c, QStringLiteral("SELECT ledgernumber FROM ledgerhistory WHERE chainseq = 3")).toString(),
                 QStringLiteral("3/25"));
        QVERIFY(VerifyHistoryChain(c).Intact());
        journal(c, 4, QStringLiteral("B"));
        const THistoryChainCheck check = VerifyHistoryChain(c);
        QCOMPARE(check.Text, QStringLiteral("Istorija je neizmenjena: 4 unosa u lancu."));
    }

    // Two desks write history at once. On a cluster the second desk's entry
    // lands on another node between the first one's write and its commit:
    // the later commit is refused and written again after the other.
    void twoDesksWriteOneChain()
    {
        auto other = db->OpenSecondConnection();
        int runs = 0;
        for (int n = 1; n <= 4; ++n) {
            RetryOnWriteConflict(conn(), [&] {
                ++runs;
                TZTransaction t(conn());
                JournalLedgerItemValues(conn(), n, QStringLiteral("%1/26").arg(n),
                                        {{QStringLiteral("accepted"), QStringLiteral("n"), QStringLiteral("y"), {}, {}}},
                                        Ana);
                if (TestDb::OnCluster() && runs == 2 * n - 1)
                    journal(*other, 10 + n, QStringLiteral("C"));
                t.Commit();
            });
            if (!TestDb::OnCluster())
                journal(*other, 10 + n, QStringLiteral("C"));
        }
        const THistoryChainCheck check = VerifyHistoryChain(conn());
        QCOMPARE(check.Text, QStringLiteral("Istorija je neizmenjena: 8 unosa u lancu."));
        QCOMPARE(ReadHistoryChainHead(*other).Entries, 8);
        QCOMPARE(runs, TestDb::OnCluster() ? 8 : 4);
    }
};

QTEST_MAIN(TestHistoryChain)
#include "tst_historychain.moc"
