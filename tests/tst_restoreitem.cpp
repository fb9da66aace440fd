// Bringing a deleted item back: its old id and number while the number is
// free, refused when taken (also by another desk at that moment), gone links
// left empty, administrators only, and "Vrati stavku" in the dialog.

#include "DatasetTestUtil.h"
#include "KException.h"
#include "StornoFixture.h"
#include "integration/GlobalConsole.h"
#include "data/LedgerRestore.h"
#include "screens/DeletedItemsDialog.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using storno::refusal;

class TestRestoreItem : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { REQUIRE_TESTDB(fx.Db); fx.Start(QStringLiteral("ana")); }
    void init() { REQUIRE_TESTDB(fx.Db); GlobalConsole = fx.Console; }
    void cleanupTestCase() { fx.Stop(); }

    void restore_data()
    {
        QTest::addColumn<QString>("meanwhile"); // after the delete; "desk B": on a second connection
        QTest::addColumn<bool>("admin");
        QTest::addColumn<QString>("refused");   // %1: the number; empty: restored
        QTest::addColumn<QStringList>("dropped");
        const QString taken = QStringLiteral("Broj %1 je u međuvremenu dodeljen drugoj stavci istog tipa, pa se obrisana "
                                             "stavka ne može vratiti pod njim.");
        QTest::newRow("number free") << "" << true << "" << QStringList{};
        QTest::newRow("a clerk") << "" << false << "Obrisanu stavku vraća administrator." << QStringList{};
        QTest::newRow("number taken") << "taken" << true << taken << QStringList{};
        QTest::newRow("desk B takes the number") << "desk B takes" << true << taken << QStringList{};
        QTest::newRow("taken in another direction") << "outgoing" << true << "" << QStringList{};
        QTest::newRow("desk B restored it") << "desk B restores" << true << "Stavka %1 je već vraćena u delovodnik."
                                            << QStringList{};
        QTest::newRow("partner and recipient gone") << "gone" << true << "" << QStringList{"Partner", "Namenjeno"};
    }
    void restore()
    {
        QFETCH(QString, meanwhile); QFETCH(bool, admin); QFETCH(QString, refused); QFETCH(QStringList, dropped);
        TZConnection &c = fx.Db.Connection();
        const qint64 partner = fx.Insert(QStringLiteral("partner"), {{"name", QStringLiteral("Privremeni %1").arg(fx.Serial())}});
        const qint64 recipient = dst::addUser(c, "Privremeni", "Korisnik", QStringLiteral("priv%1").arg(fx.Serial()));
        const qint64 id = storno::addOwnItem(fx, {{"partnerid", partner}, {"outuserid", recipient}, {"subject", "Uverenje"}});
        const QVariantList before = fx.Row(id);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const qint64 entry = storno::deleteWithHistory(fx, id);
        auto deskB = fx.Db.OpenSecondConnection();
        if (meanwhile == QLatin1String("taken") || meanwhile == QLatin1String("outgoing"))
            storno::addOwnItem(fx, {{"ledgernumber", number}, {"direction", meanwhile == QLatin1String("taken") ? 1 : -1}});
        if (meanwhile == QLatin1String("desk B takes"))
            deskB->ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                          "VALUES (1, ?, ?, 'Dopis', ?)"),
                           {QDateTime::currentDateTime(), number, fx.UserId(QStringLiteral("marko"))});
        if (meanwhile == QLatin1String("desk B restores"))
            RestoreDeletedItem(*deskB, entry, storno::deskUser(fx, "marko", true), storno::actor(fx, "marko"));
        if (meanwhile == QLatin1String("gone")) {
            c.ExecSQL(QStringLiteral("DELETE FROM partner WHERE partnerid = ?"), {partner});
            c.ExecSQL(QStringLiteral("DELETE FROM user WHERE userid = ?"), {recipient});
        }
        const int entries = fx.Count(QStringLiteral("ledgerhistory"));
        TRestoredItem restored;
        QCOMPARE(refusal([&] {
                     restored = RestoreDeletedItem(c, entry, storno::deskUser(fx, "jelena", admin), storno::actor(fx, "jelena"));
                 }),
                 refused.isEmpty() ? QString() : refused.arg(number));
        QCOMPARE(fx.Count(QStringLiteral("ledgerhistory")), entries + (refused.isEmpty() ? 1 : 0));
        if (!refused.isEmpty())
            return;
        QCOMPARE(restored.ItemID, id);
        QCOMPARE(restored.DroppedLinks, dropped);
        if (dropped.isEmpty())
            QCOMPARE(fx.Row(id), before);
        QCOMPARE(fx.Cell(id, QStringLiteral("subject")) + u' ' + fx.Cell(id, QStringLiteral("ledgernumber")),
                 QStringLiteral("Uverenje ") + number);
        QCOMPARE(LedgerItemHistory(c, id).first().Kind, THistoryKind::Insert);
        for (const THistoryEntry &deleted : DeletedLedgerItems(c, 0, true)) // no longer among the deleted
            QVERIFY(deleted.ItemID != id);
    }

    void dialogOffersRestore_data()
    {
        QTest::addColumn<bool>("admin");
        QTest::newRow("administrator") << true;
        QTest::newRow("clerk") << false;
    }
    void dialogOffersRestore()
    {
        QFETCH(bool, admin);
        const qint64 id = storno::addOwnItem(fx);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        storno::deleteWithHistory(fx, id);
        ScopedScriptedDialogs dialogs;
        TDeletedItemsDialog dialog(fx.Db.Connection(), fx.UserId(QStringLiteral("ana")), admin);
        QCOMPARE(dialog.RestoreButton != nullptr, admin);
        if (!admin)
            return;
        const auto found = dialog.ItemsTree->findItems(number, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        const int rows = dialog.ItemsTree->topLevelItemCount();
        dialog.ItemsTree->setCurrentItem(found.first()->child(0)); // a value line chooses its item too
        setRole(true);
        dialog.RestoreButton->click();
        setRole(false);
        QCOMPARE(dialogs->Messages.value(0).Text, QStringLiteral("Stavka %1 je vraćena u delovodnik.").arg(number));
        QCOMPARE(dialog.ItemsTree->topLevelItemCount(), rows - 1);
        QCOMPARE(fx.Cell(id, QStringLiteral("ledgernumber")), number);
    }

private:
    // Ana's role, as the security service reads it at login.
    void setRole(bool admin)
    {
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE user SET role = ? WHERE login = 'ana'"), {admin ? "a" : "c"});
        fx.LoginAs(QString());
        fx.LoginAs(QStringLiteral("ana"));
    }

    LedgerFixture fx;
};

QTEST_MAIN(TestRestoreItem)
#include "tst_restoreitem.moc"
