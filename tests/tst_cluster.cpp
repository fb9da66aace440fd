// The register on the private three-node cluster: two offices numbering the
// same item at once on two nodes, and a desk whose node dies.

#include "CommonStrings.h"
#include "DatasetTestUtil.h"
#include "KException.h"
#include "ServerList.h"
#include "TestConsole.h"
#include "TestDb.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"

#include <QProcess>
#include <QtTest>

class TestCluster : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDb> db;
    IRef<TestConsole> console;
    TZQuery *q = nullptr;
    qint64 ana = 0;

    TZConnection &conn() { return db->Connection(); }

    // The cluster script on one node: kill or rejoin.
    static void node(const char *command, int n)
    {
        QProcess p;
        p.start(QStringLiteral("bash"), {qEnvironmentVariable("KLEDGER_SOURCE_DIR") + QStringLiteral("/scripts/galera-private.sh"),
                                          QString::fromLatin1(command), qEnvironmentVariable("KLEDGER_GALERA_DIR"),
                                          QString::number(n)});
        QVERIFY2(p.waitForFinished(120000) && p.exitCode() == 0, p.readAllStandardError().constData());
    }
    // 1..3: the node a connection is on now.
    static int nodeOf(const TZConnection &c)
    {
        return int(TestDb::ClusterSockets().indexOf(c.ServerText())) + 1;
    }

    std::unique_ptr<TLedgerItems> m_items;

    void openAll()
    {
        q->Close();
        q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QString()));
        q->Open();
    }
    int stored(const QString &number)
    {
        return dst::countItems(conn(), QStringLiteral("ledgernumber = ?"), {number});
    }
    // A new item typed in and posted; its number.
    QString post(const QString &type)
    {
        q->Append();
        m_items->LedgerItemZQitemtype->SetAsString(type);
        q->Post();
        return m_items->LedgerItemZQledgernumber->AsString();
    }

private slots:
    void init()
    {
        if (!TestDb::OnCluster())
            QSKIP("runs on the cluster only (KLEDGER_TEST_BACKEND=galera)");
        DB_SETUP(db);
        Initialize();
        LedgerDM->SetZConnection(&conn());
        ana = dst::addUser(conn(), QStringLiteral("Ana"), QStringLiteral("Petrović"), QStringLiteral("ana"));
        console = IRef<TestConsole>(new TestConsole);
        console->Security = IRef<TestSecurity>(new TestSecurity);
        console->Security->User = TUserDesc{qint32(ana), QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Petrović")};
        GlobalConsole = console;
        m_items = LedgerDM->NewLedgerItems();
        q = m_items->LedgerItemZQ;
        openAll();
    }

    void cleanup()
    {
        m_items.reset();
        Finalize();
        console.reset();
        db.reset();
    }

    // The other office's item reaches node 2 between this desk's INSERT and
    // its COMMIT on node 1: the cluster refuses the later commit (a
    // certification conflict, not a duplicate key). The desk is told about
    // the number as on one server and keeps what it typed.
    void numberTakenOnAnotherNodeAtCommit()
    {
        auto other = db->OpenSecondConnection();
        QCOMPARE(nodeOf(conn()), 1);
        QCOMPARE(nodeOf(*other), 2);
        q->Append();
        const QString number = m_items->LedgerItemZQledgernumber->AsString();
        m_items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Ugovor"));
        auto journal = q->OnJournal;
        int calls = 0;
        q->OnJournal = [&](TZConnection &c, TZQuery::TWriteKind kind, const QVariant &key, const std::vector<TField *> &changed) {
            journal(c, kind, key, changed);
            if (++calls == 1)
                other->ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                              "VALUES (1, ?, ?, 'Dopis', ?)"),
                               {QDateTime::currentDateTime(), number, ana});
        };
        try {
            q->Post();
            QFAIL("the other office's number should have won");
        } catch (const KException &e) {
            QCOMPARE(e.message(), FormatStr(_CMN_FIELD_INVALIDE_ERR, {QStringLiteral("Delovodni broj")}));
        }
        q->OnJournal = journal;
        QCOMPARE(q->State(), TDataSetState::Insert);
        QCOMPARE(m_items->LedgerItemZQitemtype->AsString(), QStringLiteral("Ugovor"));
        QCOMPARE(stored(number), 1);
        QCOMPARE(dst::countItems(conn(), QStringLiteral("ledgernumber = ? AND itemtype = 'Dopis'"), {number}), 1);
    }

    // The node dies while the desk's post waits for its commit: the desk
    // reconnects to the next node, says the change may not be saved, and
    // keeps the buffer; the post was lost with the node, so posting again
    // stores it once, with the right number. The node then rejoins and has it.
    void nodeDiesDuringPostAndRejoins()
    {
        const QString first = post(QStringLiteral("Dopis"));
        QCOMPARE(nodeOf(conn()), 1);
        q->Append();
        const QString number = m_items->LedgerItemZQledgernumber->AsString();
        m_items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Rešenje"));
        auto journal = q->OnJournal;
        q->OnJournal = [&](TZConnection &c, TZQuery::TWriteKind kind, const QVariant &key, const std::vector<TField *> &changed) {
            journal(c, kind, key, changed);
            q->OnJournal = journal;
            node("kill", 1);
        };
        try {
            q->Post();
            QFAIL("a post cut with its node cannot be reported saved");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("ponovo je uspostavljena")), qPrintable(e.message()));
        }
        QCOMPARE(nodeOf(conn()), 2);
        QCOMPARE(q->State(), TDataSetState::Insert);
        QCOMPARE(m_items->LedgerItemZQitemtype->AsString(), QStringLiteral("Rešenje"));
        QCOMPARE(stored(number), 0);
        q->Post();
        QCOMPARE(stored(number), 1);
        QCOMPARE(stored(first), 1);

        // Reads move on without a word; the next number counts both.
        openAll();
        QCOMPARE(q->RecordCount(), 2);
        q->Append();
        const QString third = m_items->LedgerItemZQledgernumber->AsString();
        q->Cancel();
        QCOMPARE(third.section(u'/', 0, 0).toInt(), number.section(u'/', 0, 0).toInt() + 1);

        node("rejoin", 1);
        TConnectionParams onFirst = db->Params();
        onFirst.Servers = TestDb::ClusterSockets().first();
        auto rejoined = TestDb::OpenConnection(onFirst);
        QCOMPARE(dst::countItems(*rejoined, QStringLiteral("ledgernumber IN (?, ?)"), {first, number}), 2);
    }
};

QTEST_MAIN(TestCluster)
#include "tst_cluster.moc"
