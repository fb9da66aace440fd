// Enclosures ("Prilog") and pass-on ("Predaj") from the detail form, over a
// real database, including two desks acting on one item at once.

#include "LedgerFixture.h"
#include "TestConsole.h"
#include "ZQuery.h"
#include "data/ILedger.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"
#include "data/LedgerResourceString.h"

#include <QAction>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>
#include <barrier>
#include <thread>

namespace {

QVariant null64() { return QVariant(QMetaType::fromType<qint64>()); }

} // namespace

class TestLedgerItemCopies : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start();
        m_ledger = IRef<RecordingLedger>(new RecordingLedger);
        m_withLedger = IRef<TConsole>(new TConsole);
        m_withLedger->AddService(fx.Security);
        m_withLedger->AddService(m_ledger);
    }
    void init()
    {
        REQUIRE_TESTDB(fx.Db);
        GlobalConsole = m_withLedger;
        m_ledger->Opened.clear();
        fx.LoginAs(QStringLiteral("jelena"));
    }
    void cleanupTestCase() { fx.Stop(); }

    void enabling_data()
    {
        QTest::addColumn<bool>("withParent");
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("enclosure");
        QTest::addColumn<bool>("passOn");
        QTest::newRow("mine, accepted") << false << "jelena" << true << true << true;
        QTest::newRow("mine, not accepted yet") << false << "jelena" << false << true << false;
        QTest::newRow("someone else's, accepted") << false << "marko" << true << true << false;
        QTest::newRow("no recipient") << false << "" << true << true << false;
        QTest::newRow("with a parent, mine, accepted") << true << "jelena" << true << false << true;
    }

    void enabling()
    {
        QFETCH(bool, withParent);
        QFETCH(QString, recipient);
        QFETCH(bool, accepted);
        QFETCH(bool, enclosure);
        QFETCH(bool, passOn);

        const qint64 parent = fx.AddItem();
        const qint64 id = fx.AddItem({{QStringLiteral("parentid"), withParent ? QVariant(parent) : null64()},
                                      {QStringLiteral("outuserid"), recipient.isEmpty() ? null64() : QVariant(fx.UserId(recipient))},
                                      {QStringLiteral("accepted"), accepted ? QStringLiteral("y") : QStringLiteral("n")}});
        DetailFormOn on(id);
        TLedgerDetailForm &form = on.form;
        QCOMPARE(form.AdditionalItemButton->isEnabled(), enclosure);
        QCOMPARE(form.PassOnButton->isEnabled(), passOn);
        // The scan has no rule of its own: also on items the form locks.
        QVERIFY(form.ScannedDocumentButton->isEnabled());
        // scripts/screenshot.sh DIR detail: the form with both actions available.
        const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
        if (!dir.isEmpty() && enclosure && passOn)
            QVERIFY(form.grab().save(dir + QStringLiteral("/ledgerdetail-passon.png")));
    }

    void enclosureNumber_data()
    {
        QTest::addColumn<QStringList>("children"); // suffixes made first; "x" = linked by hand
        QTest::addColumn<QString>("deleted");      // one of them removed again
        QTest::addColumn<QString>("elsewhere");    // a suffix used by an unrelated item
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << QStringList{} << "" << "" << "-1";
        QTest::newRow("third") << QStringList{"-1", "-2"} << "" << "" << "-3";
        QTest::newRow("after a linked item") << QStringList{"x"} << "" << "" << "-2";
        QTest::newRow("a deleted child in between") << QStringList{"-1", "-2", "-3"} << "-2" << "" << "-4";
        QTest::newRow("a deleted first child") << QStringList{"-1", "-2"} << "-1" << "" << "-3";
        QTest::newRow("number taken by another item") << QStringList{} << "" << "-1" << "-2";
    }

    void enclosureNumber()
    {
        QFETCH(QStringList, children);
        QFETCH(QString, deleted);
        QFETCH(QString, elsewhere);
        QFETCH(QString, expected);

        fx.LoginAs(QStringLiteral("ana"));
        const qint64 id = fx.AddItem();
        const QString number = fx.Cell(id, QStringLiteral("ledgernumber"));
        for (const QString &suffix : children) {
            const QString childNumber = suffix == QLatin1String("x") ? QStringLiteral("VEZA-%1").arg(fx.Serial()) : number + suffix;
            const qint64 child = fx.AddItem({{QStringLiteral("ledgernumber"), childNumber}, {QStringLiteral("parentid"), id}});
            if (suffix == deleted)
                fx.Db.Connection().ExecSQL(QStringLiteral("DELETE FROM ledgeritem WHERE ledgeritemid = ?"), {child});
        }
        if (!elsewhere.isEmpty())
            fx.AddItem({{QStringLiteral("ledgernumber"), number + elsewhere}});

        DetailFormOn on(id);
        on.form.AdditionalItemButton->click();

        QCOMPARE(on.dialogs->Messages.size(), 1);
        QCOMPARE(on.dialogs->Messages.first().Text, QStringLiteral("Novi prilog je kreiran."));
        QCOMPARE(on.dialogs->Messages.first().Type, TMsgDlgType::Information);
        const qint64 created = newestId();
        QCOMPARE(fx.Cell(created, QStringLiteral("ledgernumber")), number + expected);
        QCOMPARE(m_ledger->Opened, QList<qint32>{qint32(created)});
        QVERIFY(!on.form.isVisible());
    }

    void enclosureColumns_data()
    {
        QTest::addColumn<bool>("passedOnCopy"); // the source itself came by pass-on
        QTest::newRow("registered item") << false;
        QTest::newRow("passed-on copy") << true;
    }

    void enclosureColumns()
    {
        QFETCH(bool, passedOnCopy);
        const qint64 origin = fx.AddItem();
        const qint64 partner = fx.Scalar(QStringLiteral("SELECT MIN(partnerid) FROM partner")).toLongLong();
        const qint64 id = handedToMe({{QStringLiteral("direction"), -1},
                                      {QStringLiteral("partnerid"), partner},
                                      {QStringLiteral("archived"), QStringLiteral("y")},
                                      {QStringLiteral("passonparentid"), passedOnCopy ? QVariant(origin) : null64()}});
        DetailFormOn(id).form.AdditionalItemButton->click();

        const qint64 created = newestId();
        QVERIFY(created > id);
        QVERIFY(fx.Scalar(QStringLiteral("SELECT itemnumber FROM ledgeritem WHERE ledgeritemid = ?"), {created}).isNull());
        QCOMPARE(fx.Cell(created, QStringLiteral("accepted")), QStringLiteral("n"));
        QCOMPARE(fx.Cell(created, QStringLiteral("parentid")).toLongLong(), id);
        // The rest is the source's.
        for (const char *column : {"direction", "ledgerdatetime", "partnerid", "itemtype", "userid", "outuserid",
                                   "archived", "passonparentid"})
            QCOMPARE(fx.Cell(created, QLatin1String(column)), fx.Cell(id, QLatin1String(column)));
        QCOMPARE(fx.Cell(created, QStringLiteral("passonparentid")),
                 passedOnCopy ? QString::number(origin) : QString());
    }

    void passOnColumns_data()
    {
        QTest::addColumn<QString>("parent"); // none, not passed on, passed on
        QTest::newRow("no parent") << "none";
        QTest::newRow("parent not passed on") << "kept";
        QTest::newRow("parent passed on") << "passed";
    }

    void passOnColumns()
    {
        QFETCH(QString, parent);
        const qint64 parentId = fx.AddItem();
        qint64 parentCopy = 0;
        if (parent == QLatin1String("passed")) {
            parentCopy = fx.AddItem({{QStringLiteral("passonparentid"), parentId}});
            // The copy's own enclosure carries the same origin and comes later.
            fx.AddItem({{QStringLiteral("passonparentid"), parentId}, {QStringLiteral("parentid"), parentCopy}});
        }
        const qint64 id = handedToMe({{QStringLiteral("parentid"), parent == QLatin1String("none") ? null64() : QVariant(parentId)},
                                      {QStringLiteral("inuserid"), fx.UserId(QStringLiteral("marko"))}});
        DetailFormOn on(id);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        on.form.PassOnButton->click();
        const QDateTime after = QDateTime::currentDateTime().addSecs(1);

        QCOMPARE(on.dialogs->Messages.size(), 1);
        QCOMPARE(on.dialogs->Messages.first().Text, QStringLiteral("Nova stavka u delovodniku je kreirana."));
        const qint64 created = newestId();
        QCOMPARE(m_ledger->Opened, QList<qint32>{qint32(created)});
        QCOMPARE(fx.Cell(created, QStringLiteral("passonparentid")).toLongLong(), id);
        QCOMPARE(fx.Cell(created, QStringLiteral("parentid")), parentCopy ? QString::number(parentCopy) : QString());
        QCOMPARE(fx.Cell(created, QStringLiteral("ledgernumber")), fx.Cell(id, QStringLiteral("ledgernumber")));
        QCOMPARE(fx.Cell(created, QStringLiteral("itemnumber")), fx.Cell(id, QStringLiteral("itemnumber")));
        QCOMPARE(fx.Cell(created, QStringLiteral("accepted")), QStringLiteral("n"));
        QCOMPARE(fx.Cell(created, QStringLiteral("userid")).toLongLong(), fx.UserId(QStringLiteral("jelena")));
        QCOMPARE(fx.Cell(created, QStringLiteral("inuserid")).toLongLong(), fx.UserId(QStringLiteral("jelena")));
        QCOMPARE(fx.Cell(created, QStringLiteral("outuserid")), QString());
        // MariaDB hands back a date-time, SQLite its stored text.
        const QVariant stored = fx.Scalar(QStringLiteral("SELECT ledgerdatetime FROM ledgeritem WHERE ledgeritemid = ?"), {created});
        const QDateTime when = stored.typeId() == QMetaType::QDateTime
            ? stored.toDateTime()
            : QDateTime::fromString(stored.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(when >= before && when <= after, qPrintable(when.toString()));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("created");
        QTest::addColumn<int>("messageType");
        QTest::addColumn<QString>("message"); // empty: not checked
        const int error = int(TMsgDlgType::Error), info = int(TMsgDlgType::Information);
        const QString passedOn = QStringLiteral("Ne možete predati stavku jer već postoji prosleđena stavka.");
        QTest::newRow("Predaj, passed on already") << "PassOnButton" << "passed on" << 0 << error << passedOn;
        QTest::newRow("Prilog, store refused") << "AdditionalItemButton" << "invalid edit" << 0 << error << "";
        QTest::newRow("Predaj, store refused") << "PassOnButton" << "invalid edit" << 0 << error << "";
        QTest::newRow("Predaj, taken back meanwhile") << "PassOnButton" << "taken back" << 0 << error
                                                      << "Stavka nije predata: u međuvremenu je promenjena na drugom mestu.";
        QTest::newRow("Prilog, no ledger service") << "AdditionalItemButton" << "no service" << 1 << info << "";
        QTest::newRow("Predaj, no ledger service") << "PassOnButton" << "no service" << 1 << info << "";
    }

    // Whatever stops the action, the form stays open on its item.
    void refusals()
    {
        QFETCH(QString, button);
        QFETCH(QString, situation);
        QFETCH(int, created);
        QFETCH(int, messageType);
        QFETCH(QString, message);

        const qint64 id = handedToMe();
        if (situation == QLatin1String("passed on"))
            fx.AddItem({{QStringLiteral("passonparentid"), id}});
        if (situation == QLatin1String("no service"))
            GlobalConsole = fx.Console;
        const int items = fx.ItemCount();
        DetailFormOn on(id);
        if (situation == QLatin1String("taken back"))
            fx.Db.OpenSecondConnection()->ExecSQL(QStringLiteral("UPDATE ledgeritem SET accepted = 'n' WHERE ledgeritemid = ?"), {id});
        if (situation == QLatin1String("invalid edit")) {
            on.items().LedgerItemZQ->Edit();
            on.items().LedgerItemZQitemtype->SetAsString(QString());
        }
        on.form.findChild<QPushButton *>(button)->click();

        QCOMPARE(on.dialogs->Messages.size(), 1);
        QCOMPARE(int(on.dialogs->Messages.first().Type), messageType);
        if (!message.isEmpty())
            QCOMPARE(on.dialogs->Messages.first().Text, message);
        QCOMPARE(fx.ItemCount(), items + created);
        QVERIFY(on.form.isVisible());
        QCOMPARE(on.items().LedgerItemZQledgeritemid->AsLargeInt(), id);
        QVERIFY(m_ledger->Opened.isEmpty());
    }

    void twoDesksAtOnce_data()
    {
        QTest::addColumn<bool>("passOn");
        QTest::addColumn<QStringList>("expected"); // ledger numbers of the new items, suffixes after the source's
        QTest::newRow("Predaj: one copy") << true << QStringList{""};
        QTest::newRow("Prilog: two enclosures") << false << QStringList{"-1", "-2"};
    }

    // Each desk has its own connection and data module, on a thread of its own;
    // they meet before each item, so their work overlaps as much as it can.
    void twoDesksAtOnce()
    {
        QFETCH(bool, passOn);
        QFETCH(QStringList, expected);
        const int user = int(fx.UserId(QStringLiteral("jelena")));
        QList<qint64> items;
        for (int i = 0; i < 10; ++i)
            items << handedToMe();

        std::barrier meet(2);
        QList<int> results[2];
        QString errors[2];
        auto desk = [&](int k) {
            try {
                auto connection = fx.Db.OpenSecondConnection();
                TLedgerDM dm;
                dm.SetContext(LedgerDM->Context());
                dm.SetZConnection(connection.get());
                for (const qint64 id : items) {
                    meet.arrive_and_wait();
                    results[k] << (passOn ? dm.PassOnLedgerItem(int(id), user).value_or(-1) : dm.AddAdditionalItem(int(id)));
                }
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
                meet.arrive_and_drop();
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();

        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        for (int i = 0; i < items.size(); ++i) {
            if (passOn)
                QCOMPARE(std::min(results[0][i], results[1][i]), -1);
            const QString number = fx.Cell(items[i], QStringLiteral("ledgernumber"));
            QStringList numbers;
            auto q = fx.Db.Connection().OpenQuery(QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE parentid = ? "
                                                                 "OR passonparentid = ? ORDER BY ledgeritemid"),
                                                  {items[i], items[i]});
            while (q->next())
                numbers << q->value(0).toString().mid(number.size());
            QCOMPARE(numbers, expected);
        }
    }

private:
    // An item of Ana's handed over to Jelena (the logged-in user).
    qint64 handedToMe(const QVariantMap &values = {})
    {
        QVariantMap v{{QStringLiteral("outuserid"), fx.UserId(QStringLiteral("jelena"))},
                      {QStringLiteral("accepted"), QStringLiteral("y")}};
        for (auto it = values.begin(); it != values.end(); ++it)
            v[it.key()] = it.value();
        return fx.AddItem(v);
    }
    qint64 newestId() { return fx.Scalar(QStringLiteral("SELECT MAX(ledgeritemid) FROM ledgeritem")).toLongLong(); }

    LedgerFixture fx;
    IRef<RecordingLedger> m_ledger;
    IRef<TConsole> m_withLedger;
};

QTEST_MAIN(TestLedgerItemCopies)
#include "tst_ledgeritemcopies.moc"
