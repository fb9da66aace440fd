// Bringing a deleted item back: its old id and number while the number is
// free, refused when taken (also by another desk at the same moment), links
// that are gone left empty, administrators only, and "Vrati stavku" in the
// deleted items' dialog.

#include "DatasetTestUtil.h"
#include "KException.h"
#include "integration/GlobalConsole.h"
#include "LedgerFixture.h"
#include "StornoFixture.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerRestore.h"
#include "screens/DeletedItemsDialog.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

class TestRestoreItem : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
    }
    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        GlobalConsole = fx.Console;
    }
    void cleanupTestCase() { fx.Stop(); }

    void restore_data()
    {
        QTest::addColumn<QString>("meanwhile"); // what happened after the delete
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QString>("refused");   // %1: the number; empty: restored
        QTest::addColumn<QStringList>("dropped");
        QTest::newRow("number free") << "" << true << "" << QStringList{};
        QTest::newRow("a clerk") << "" << false << "Obrisanu stavku vraća administrator." << QStringList{};
        QTest::newRow("number taken")
            << "taken" << true
            << "Broj %1 je u međuvremenu dodeljen drugoj stavci istog tipa, pa se obrisana stavka ne može vratiti pod njim."
            << QStringList{};
        QTest::newRow("taken in another direction") << "other direction" << true << "" << QStringList{};
        QTest::newRow("restored already") << "restored" << true << "Stavka %1 je već vraćena u delovodnik."
                                          << QStringList{};
        QTest::newRow("partner gone") << "partner gone" << true << "" << QStringList{"Partner"};
        QTest::newRow("recipient gone") << "recipient gone" << true << "" << QStringList{"Namenjeno"};
    }
    void restore()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, administrator);
        QFETCH(QString, refused);
        QFETCH(QStringList, dropped);
        const qint64 partner = fx.Insert(QStringLiteral("partner"), {{QStringLiteral("name"), QStringLiteral("Privremeni %1").arg(fx.Serial())}});
        const qint64 recipient = dst::addUser(fx.Db.Connection(), QStringLiteral("Privremeni"), QStringLiteral("Korisnik"),
                                              QStringLiteral("priv%1").arg(fx.Serial()));
        const qint64 id = storno::addOwnItem(fx, {{QStringLiteral("partnerid"), partner},
                                                  {QStringLiteral("outuserid"), recipient},
                                                  {QStringLiteral("subject"), QStringLiteral("Zahtev za uverenje")}});
        const QVariantList before = fx.Row(id);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const qint64 entry = storno::deleteWithHistory(fx, id);
        if (meanwhile == QLatin1String("taken"))
            storno::addOwnItem(fx, {{QStringLiteral("ledgernumber"), number}});
        if (meanwhile == QLatin1String("other direction"))
            storno::addOwnItem(fx, {{QStringLiteral("ledgernumber"), number}, {QStringLiteral("direction"), -1}});
        if (meanwhile == QLatin1String("restored"))
            restoreAs(entry, true);
        if (meanwhile == QLatin1String("partner gone"))
            fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM partner WHERE partnerid = ?"), {partner});
        if (meanwhile == QLatin1String("recipient gone"))
            fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM user WHERE userid = ?"), {recipient});
        const int entries = fx.Count(QStringLiteral("ledgerhistory"));

        QString message;
        TRestoredItem restored;
        try {
            restored = restoreAs(entry, administrator);
        } catch (const KException &e) {
            message = e.message();
        }
        QCOMPARE(message, refused.isEmpty() ? QString() : refused.arg(number));
        if (!refused.isEmpty()) {
            QCOMPARE(fx.Count(QStringLiteral("ledgerhistory")), entries);
            return;
        }
        QCOMPARE(restored.ItemID, id);
        QCOMPARE(restored.Number, number);
        QCOMPARE(restored.DroppedLinks, dropped);
        if (dropped.isEmpty())
            QCOMPARE(fx.Row(id), before);
        QCOMPARE(fx.Cell(id, QStringLiteral("subject")), QStringLiteral("Zahtev za uverenje"));
        const THistoryEntry newest = LedgerItemHistory(fx.Db.Connection(), id).first();
        QCOMPARE(newest.Kind, THistoryKind::Insert);
        QCOMPARE(newest.LedgerNumber, number);
    }

    // Two desks restore the same deleted item at once: one gets it back.
    void twoDesksRestoreOneItem()
    {
        const qint64 id = storno::addOwnItem(fx);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const qint64 entry = storno::deleteWithHistory(fx, id);
        auto other = fx.Db.OpenSecondConnection();
        RestoreDeletedItem(*other, entry, storno::deskUser(fx, QStringLiteral("marko"), true),
                           storno::actor(fx, QStringLiteral("marko")));
        try {
            restoreAs(entry, true);
            QFAIL("the second restore should have been refused");
        } catch (const KException &e) {
            QCOMPARE(e.message(), QStringLiteral("Stavka %1 je već vraćena u delovodnik.").arg(number));
        }
        QCOMPARE(dst::countItems(fx.Db.Connection(), QStringLiteral("ledgeritemid = ?"), {id}), 1);
    }

    // Another desk registers the number between the check and the insert:
    // the unique index refuses the restore.
    void numberTakenDuringRestore()
    {
        const qint64 id = storno::addOwnItem(fx);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        const qint64 entry = storno::deleteWithHistory(fx, id);
        auto other = fx.Db.OpenSecondConnection();
        other->ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                                      "VALUES (1, ?, ?, 'Dopis', ?)"),
                       {QDateTime::currentDateTime(), number, fx.UserId(QStringLiteral("marko"))});
        try {
            restoreAs(entry, true);
            QFAIL("the taken number should have been refused");
        } catch (const KException &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Broj %1 je u međuvremenu dodeljen").arg(number)));
        }
        QCOMPARE(dst::countItems(fx.Db.Connection(), QStringLiteral("ledgeritemid = ?"), {id}), 0);
    }

    void dialogOffersRestore_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::newRow("administrator") << true;
        QTest::newRow("clerk") << false;
    }
    void dialogOffersRestore()
    {
        QFETCH(bool, administrator);
        const qint64 id = storno::addOwnItem(fx);
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        storno::deleteWithHistory(fx, id);
        ScopedScriptedDialogs dialogs;
        TDeletedItemsDialog dialog(fx.Db.Connection(), fx.UserId(QStringLiteral("ana")), administrator);
        QCOMPARE(dialog.RestoreButton != nullptr, administrator);
        if (!administrator)
            return;
        QTreeWidgetItem *row = nullptr;
        for (int i = 0; i < dialog.ItemsTree->topLevelItemCount() && !row; ++i)
            if (dialog.ItemsTree->topLevelItem(i)->text(0) == number)
                row = dialog.ItemsTree->topLevelItem(i);
        QVERIFY(row);
        const int rows = dialog.ItemsTree->topLevelItemCount();
        dialog.ItemsTree->setCurrentItem(row->child(0)); // a value line chooses its item too
        setRole(QStringLiteral("ana"), true);
        dialog.RestoreButton->click();
        setRole(QStringLiteral("ana"), false);
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages.first().Text, QStringLiteral("Stavka %1 je vraćena u delovodnik.").arg(number));
        QCOMPARE(dialog.ItemsTree->topLevelItemCount(), rows - 1);
        QCOMPARE(fx.Cell(id, QStringLiteral("ledgernumber")), number);
    }

private:
    TRestoredItem restoreAs(qint64 entry, bool administrator)
    {
        return RestoreDeletedItem(fx.Db.Connection(), entry, storno::deskUser(fx, QStringLiteral("jelena"), administrator),
                                  storno::actor(fx, QStringLiteral("jelena")));
    }
    // The logged-in user's role as the security service reads it at login.
    void setRole(const QString &login, bool administrator)
    {
        fx.Db.Connection().ExecSQL(QStringLiteral("UPDATE user SET role = ? WHERE login = ?"),
                                   {administrator ? QStringLiteral("a") : QStringLiteral("c"), login});
        fx.LoginAs(QString());
        fx.LoginAs(login);
    }

    LedgerFixture fx;
};

QTEST_MAIN(TestRestoreItem)
#include "tst_restoreitem.moc"
