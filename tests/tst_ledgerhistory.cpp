// The items' history: written with every change in the change's own
// transaction, never without it; and the schema step that brings it.

#include "LedgerFixture.h"
#include "SchemaInstaller.h"
#include "ZQuery.h"
#include "ZTransaction.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerHistory.h"
#include "screens/DeletedItemsDialog.h"

#include <QSqlQuery>
#include <QTreeWidget>
#include <QtTest>
#include <barrier>
#include <thread>

class TestLedgerHistory : public QObject
{
    Q_OBJECT
    LedgerFixture fx;
    TZConnection &conn() { return fx.Db.Connection(); }
    int entries(qint64 id)
    {
        return fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgerhistory WHERE ledgeritemid = ?"), {id}).toInt();
    }
    // "column:old>new" of the item's newest entry, by column.
    QStringList newestChanges(qint64 id)
    {
        QStringList out;
        const auto history = LedgerItemHistory(conn(), id);
        if (!history.isEmpty())
            for (const THistoryValue &v : history.first().Values)
                out << v.Column + u':' + (v.OldText.isEmpty() ? v.OldValue.toString() : v.OldText) + u'>'
                        + (v.NewText.isEmpty() ? v.NewValue.toString() : v.NewText);
        return out;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
    }
    void cleanupTestCase() { fx.Stop(); }

    void updateRecordsExactlyTheChangedColumns_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("archived only") << "archived" << QVariant(true) << QStringList{"archived:n>y"};
        QTest::newRow("recipient") << "outuserid" << QVariant("marko") << QStringList{"outuserid:>Marko Jovanović"};
        QTest::newRow("number") << "ledgernumber" << QVariant("77/26") << QStringList{"ledgernumber:T%1/00>77/26"};
        QTest::newRow("direction") << "direction" << QVariant(-1) << QStringList{"direction:Ulazni>Izlazni"};
        QTest::newRow("same value again") << "archived" << QVariant(false) << QStringList{};
    }
    void updateRecordsExactlyTheChangedColumns()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QStringList, expected);
        const qint64 id = fx.AddItem();
        auto items = LedgerFixture::OpenItem(id);
        TZQuery &q = *items->LedgerItemZQ;
        q.Edit();
        q.FieldByName(column).SetValue(column == QLatin1String("outuserid") ? QVariant(fx.UserId(value.toString())) : value);
        q.Post();
        for (QString &e : expected)
            if (e.contains(QLatin1String("%1")))
                e = e.arg(fx.Serial());
        QCOMPARE(newestChanges(id), expected);
        QCOMPARE(entries(id), expected.isEmpty() ? 0 : 1);
        if (expected.isEmpty())
            return;
        const THistoryEntry e = LedgerItemHistory(conn(), id).first();
        QCOMPARE(e.Kind, THistoryKind::Update);
        QCOMPARE(e.UserName, QStringLiteral("Ana Petrović"));
        QCOMPARE(e.UserID.toLongLong(), fx.UserId(QStringLiteral("ana")));
        QVERIFY(!e.HostName.isEmpty());
    }

    // Another desk changed the recipient after this desk read the item: the
    // entry names what was stored, not what this desk saw.
    void oldValueIsTheStoredOne()
    {
        const qint64 id = fx.AddItem();
        auto items = LedgerFixture::OpenItem(id);
        auto other = fx.Db.OpenSecondConnection();
        other->ExecSQL(QStringLiteral("UPDATE ledgeritem SET outuserid = ? WHERE ledgeritemid = ?"),
                       {fx.UserId(QStringLiteral("jelena")), id});
        items->LedgerItemZQ->Edit();
        items->LedgerItemZQoutuserid->SetAsLargeInt(fx.UserId(QStringLiteral("marko")));
        items->LedgerItemZQ->Post();
        QCOMPARE(newestChanges(id), QStringList{"outuserid:Jelena Đorđević>Marko Jovanović"});
    }

    // Two desks name a recipient at the same moment: each entry's old value is
    // what the other desk stored, so the entries chain without a gap.
    void twoDesksChainTheirEntries()
    {
        const qint64 id = fx.AddItem();
        const qint64 users[2] = {fx.UserId(QStringLiteral("marko")), fx.UserId(QStringLiteral("jelena"))};
        std::barrier meet(2);
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = fx.Db.OpenSecondConnection();
                TLedgerDM dm;
                dm.SetContext(LedgerDM->Context());
                dm.SetZConnection(connection.get());
                const auto items = dm.NewLedgerItems();
                items->OpenItem(id);
                TZQuery &q = *items->LedgerItemZQ;
                q.Edit();
                items->LedgerItemZQoutuserid->SetAsLargeInt(users[k]);
                meet.arrive_and_wait();
                q.Post();
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        const auto history = LedgerItemHistory(conn(), id);
        QCOMPARE(history.size(), 2);
        const THistoryValue newer = history[0].Values.value(0), older = history[1].Values.value(0);
        QVERIFY(older.OldValue.isNull());
        QCOMPARE(newer.OldValue, older.NewValue);
        QCOMPARE(fx.Cell(id, QStringLiteral("outuserid")), newer.NewValue.toString());
    }

    void insertAndDeleteRecordTheWholeRow()
    {
        auto items = LedgerFixture::OpenItem(-1);
        TZQuery &q = *items->LedgerItemZQ;
        q.Append();
        items->LedgerItemZQitemtype->SetAsString(QStringLiteral("Rešenje"));
        q.Post();
        const qint64 id = items->LedgerItemZQledgeritemid->AsLargeInt();
        QVERIFY(newestChanges(id).contains(QStringLiteral("itemtype:>Rešenje")));
        QVERIFY(newestChanges(id).contains(QStringLiteral("userid:>Ana Petrović")));
        {
            ScopedScriptedDialogs dialogs;
            dialogs->MessageAnswers.push_back(mbYes);
            q.Delete();
        }
        const auto history = LedgerItemHistory(conn(), id);
        QCOMPARE(history.size(), 2);
        QCOMPARE(history.first().Kind, THistoryKind::Delete);
        QCOMPARE(history.first().LedgerNumber, history.last().LedgerNumber);
        QVERIFY(newestChanges(id).contains(QStringLiteral("itemtype:Rešenje>")));
        QCOMPARE(DeletedLedgerItems(conn(), fx.UserId(QStringLiteral("ana"))).first().ItemID, id);
        QVERIFY(DeletedLedgerItems(conn(), fx.UserId(QStringLiteral("marko"))).isEmpty());
    }

    // Runs after the delete above: Ana deleted her own item.
    void deletedItemsDialog_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("messages");
        QTest::newRow("who deleted it") << "ana" << false << 1 << 0;
        QTest::newRow("a stranger to it") << "marko" << false << 0 << 0;
        QTest::newRow("nobody logged in") << "" << false << -1 << 1;
        QTest::newRow("an administrator, a stranger to it") << "marko" << true << 1 << 0;
    }
    void deletedItemsDialog()
    {
        QFETCH(QString, login);
        QFETCH(bool, administrator);
        QFETCH(int, rows);
        QFETCH(int, messages);
        conn().ExecSQL(QStringLiteral("UPDATE user SET role = ? WHERE login = ?"),
                       {administrator ? QStringLiteral("a") : QStringLiteral("c"), login});
        fx.LoginAs(login);
        ScopedScriptedDialogs dialogs;
        int shown = -1, values = 0;
        dialogs->ModalHandlers.push_back([&shown, &values](QDialog &d) {
            auto &deleted = dynamic_cast<TDeletedItemsDialog &>(d);
            shown = deleted.ItemsTree->topLevelItemCount();
            values = shown > 0 ? deleted.ItemsTree->topLevelItem(0)->childCount() : 0;
            // With KLEDGER_SCREENSHOT_DIR set: obrisane.png.
            if (const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR"); !dir.isEmpty() && shown > 0) {
                d.show();
                (void)QTest::qWaitForWindowExposed(&d);
                d.grab().save(dir + QStringLiteral("/obrisane.png"));
            }
            return int(QDialog::Accepted);
        });
        DeletedItemsActionExecute(nullptr);
        QCOMPARE(shown, rows);
        QVERIFY(rows <= 0 || values > 5); // the last values under it
        QCOMPARE(dialogs->Messages.size(), messages);
        conn().ExecSQL(QStringLiteral("UPDATE user SET role = 'c' WHERE login = ?"), {login});
        fx.LoginAs(QStringLiteral("ana"));
    }

    void refusedWritesLeaveNoEntry()
    {
        const int before = fx.Count(QStringLiteral("ledgerhistory"));
        const qint64 id = fx.AddItem();
        // A number another item of the direction has: the validation refuses it.
        const qint64 taken = fx.AddItem();
        auto items = LedgerFixture::OpenItem(id);
        items->LedgerItemZQ->Edit();
        items->LedgerItemZQledgernumber->SetAsString(fx.Cell(taken, QStringLiteral("ledgernumber")));
        QVERIFY_THROWS_EXCEPTION(KException, items->LedgerItemZQ->Post());
        items->LedgerItemZQ->Cancel();
        // Pass-on of an item not accepted: refused after the row is held.
        QVERIFY_THROWS_EXCEPTION(KException, LedgerDM->PassOnLedgerItem(int(id), int(fx.UserId(QStringLiteral("ana")))));
        // A copy whose transaction is rolled back takes its entry with it.
        {
            TZTransaction transaction(conn());
            QVERIFY(LedgerDM->CopyLedgerItem(int(id), {QStringLiteral("ledgernumber=X1/00")}) > 0);
        }
        QCOMPARE(fx.Count(QStringLiteral("ledgerhistory")), before);
        QCOMPARE(fx.Count(QStringLiteral("ledgerhistoryvalue")),
                 fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgerhistoryvalue AS v JOIN ledgerhistory AS h "
                                          "ON h.ledgerhistoryid = v.ledgerhistoryid")).toInt());
    }

    void copiesAreRecorded()
    {
        const qint64 id = fx.AddItem();
        const qint64 child = LedgerDM->AddAdditionalItem(int(id));
        QCOMPARE(entries(child), 1);
        QVERIFY(newestChanges(child).contains(QStringLiteral("parentid:>T%1/00").arg(fx.Serial())));
        QCOMPARE(entries(id), 0);
    }

    // A book from before the history: the upgrade adds it once and records its step.
    void upgradeAddsHistoryOnce()
    {
        TestDb old;
        const auto admin = old.OpenAdminConnection();
        TZConnection &c = *admin;
        for (const char *table : {"ledgerhistoryvalue", "ledgerhistory", "schemaversion"})
            c.ExecSQL(QStringLiteral("DROP TABLE ") + QLatin1String(table));
        // ... and from before the search's indexes.
        const bool sqlite = c.Backend() == TBackend::SQLite;
        c.ExecSQL(QStringLiteral("DROP INDEX ix_ledgeritem_partnerid") + (sqlite ? QString() : QStringLiteral(" ON ledgeritem")));
        QCOMPARE(SchemaVersion(c), 0);
        UpgradeSchema(c);
        UpgradeSchema(c);
        QCOMPARE(SchemaVersion(c), CurrentSchemaVersion);
        auto q = c.OpenQuery(QStringLiteral("SELECT version FROM schemaversion ORDER BY version"));
        QList<int> versions;
        while (q->next())
            versions << q->value(0).toInt();
        QCOMPARE(versions, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
        QCOMPARE(c.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM ledgerhistory"))->next(), true);
        auto index = c.OpenQuery(sqlite ? QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'ix_ledgeritem_partnerid'")
                                        : QStringLiteral("SELECT COUNT(*) FROM information_schema.statistics WHERE table_schema = "
                                                         "DATABASE() AND index_name = 'ix_ledgeritem_partnerid'"));
        QVERIFY(index->next());
        QCOMPARE(index->value(0).toInt(), 1);
    }

    // A book from before the register columns: its items gain them, not cancelled, once.
    void upgradeAddsRegisterColumnsOnce()
    {
        TestDb old;
        const auto admin = old.OpenAdminConnection();
        TZConnection &c = *admin;
        const bool sqlite = c.Backend() == TBackend::SQLite;
        // What the step adds that uses the columns goes first.
        for (const char *trigger : {"tr_ledgeritem_cancelled_update", "tr_ledgeritem_cancelled_delete"})
            c.ExecSQL(QStringLiteral("DROP TRIGGER ") + QLatin1String(trigger));
        if (!sqlite)
            c.ExecSQL(QStringLiteral("ALTER TABLE ledgeritem DROP CONSTRAINT ck_ledgeritem_cancelled"));
        for (const char *column : {"subject", "classification", "orgunit", "cancelled", "cancelreason", "cancelledby",
                                   "cancelledat"})
            c.ExecSQL(QStringLiteral("ALTER TABLE ledgeritem DROP COLUMN ") + QLatin1String(column));
        // The steps after it are taken as not made yet either.
        c.ExecSQL(QStringLiteral("DELETE FROM schemaversion WHERE version >= 6"));
        c.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                 "VALUES (1, '2025-03-04 10:00:00', '1/25', 'Dopis', 1)"));
        UpgradeSchema(c);
        UpgradeSchema(c);
        auto q = c.OpenQuery(QStringLiteral("SELECT cancelled, subject FROM ledgeritem WHERE ledgernumber = '1/25'"));
        QVERIFY(q->next());
        QCOMPARE(q->value(0).toString(), QStringLiteral("n"));
        QVERIFY(q->value(1).isNull());
        auto steps = c.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM schemaversion WHERE version = 6"));
        QVERIFY(steps->next());
        QCOMPARE(steps->value(0).toInt(), 1);
    }
};

QTEST_MAIN(TestLedgerHistory)
#include "tst_ledgerhistory.moc"
