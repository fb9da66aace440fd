// The classification plan and the organisational units over a real database
// with the console's sample rows: the stores' rules and refusals, two desks
// adding the same mark or unit at once, the history, and the two windows for
// an administrator and a clerk.

#include "ClassificationStore.h"
#include "ClassificationWindow.h"
#include "OrgUnitStore.h"
#include "OrgUnitsWindow.h"
#include "RegisterChecks.h"
#include "RegisterTable.h"
#include "SampleData.h"
#include "Screenshot.h"
#include "ScriptedDialogs.h"
#include "TestConsole.h"
#include "TestDb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <atomic>
#include <barrier>
#include <thread>

namespace {

QLineEdit *edit(QDialog &dialog, const char *name) { return dialog.findChild<QLineEdit *>(QLatin1String(name)); }
QPushButton *button(QDialog &dialog, const char *name) { return dialog.findChild<QPushButton *>(QLatin1String(name)); }

// Two desks, each on its own connection and thread, meet and then run add.
QString raceOfTwo(const TestDb &db, const std::function<void(TZConnection &, int desk)> &add, int &stored)
{
    std::barrier meet(2);
    QString errors[2];
    std::atomic<int> done{0};
    auto desk = [&](int k) {
        try {
            auto connection = db.OpenSecondConnection();
            meet.arrive_and_wait();
            add(*connection, k);
            ++done;
        } catch (const std::exception &e) {
            errors[k] = QString::fromUtf8(e.what());
        }
    };
    std::thread a(desk, 0), b(desk, 1);
    a.join();
    b.join();
    stored = done;
    return errors[0] + errors[1];
}

} // namespace

class TestClassification : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(m_db);
        SampleData::Fill(m_db.Connection());
        m_security = IRef<TestSecurity>(new TestSecurity);
        m_security->Connection = &m_db.Connection();
        m_security->User = {int(scalar("SELECT userid FROM user WHERE login = 'ana'").toLongLong()), QStringLiteral("ana"),
                            QStringLiteral("Ana"), QStringLiteral("Petrović")};
    }

    void init()
    {
        REQUIRE_TESTDB(m_db);
        m_security->User.Administrator = true;
    }

    void addMark_data()
    {
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // empty: stored
        QTest::newRow("group") << "5" << "Tehnički poslovi" << "";
        QTest::newRow("subgroup") << " 023 " << "Stručno usavršavanje" << "";
        QTest::newRow("empty") << " " << "Bez oznake" << "Klasifikaciona oznaka mora biti upisana.";
        QTest::newRow("letters") << "0a1" << "Slova" << "Klasifikaciona oznaka „0a1“ nije ispravna: piše se samo ciframa, "
                                                         "grupa jednom cifrom od 0 do 9, a svaka podgrupa dodaje još jednu (0, 01, 011).";
        QTest::newRow("separators") << "0.1" << "Tačka" << "Klasifikaciona oznaka „0.1“ nije ispravna: piše se samo ciframa, "
                                                           "grupa jednom cifrom od 0 do 9, a svaka podgrupa dodaje još jednu (0, 01, 011).";
        QTest::newRow("missing group") << "051" << "Bez grupe" << "U planu nema grupe „05“: podgrupa „051“ se upisuje tek posle nje.";
        QTest::newRow("duplicate") << "011" << "Opet" << "Oznaka „011“ već postoji u klasifikacionom planu "
                                                         "(Akta o organizaciji i sistematizaciji).";
        QTest::newRow("no name") << "6" << " " << "Naziv klasifikacione oznake mora biti upisan.";
    }

    void addMark()
    {
        QFETCH(QString, mark);
        QFETCH(QString, name);
        QFETCH(QString, message);
        const int before = count("classification");
        qint64 id = 0;
        QCOMPARE(RefusalOf([&] { id = store().Add(mark, name, 10); }), message);
        QCOMPARE(count("classification"), before + (message.isEmpty() ? 1 : 0));
        if (message.isEmpty())
            QCOMPARE(scalar("SELECT mark FROM classification WHERE classificationid = ?", {id}).toString(), mark.trimmed());
    }

    void retention_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("years"); // 0: trajno, -1: refused
        QTest::newRow("years") << " 10 " << 10;
        QTest::newRow("for ever") << "trajno" << 0;
        QTest::newRow("capitals") << "TRAJNO" << 0;
        QTest::newRow("Cyrillic") << "трајно" << 0;
        QTest::newRow("zero") << "0" << -1;
        QTest::newRow("too long") << "101" << -1;
        QTest::newRow("words") << "deset" << -1;
    }

    void retention()
    {
        QFETCH(QString, typed);
        QFETCH(int, years);
        std::optional<int> parsed;
        const QString message = RefusalOf([&] { parsed = TClassificationStore::ParseRetention(typed); });
        if (years < 0)
            QCOMPARE(message, QStringLiteral("Rok čuvanja „%1“ nije ispravan: upisuje se broj godina od 1 do 100 ili „trajno“.")
                                  .arg(typed.trimmed()));
        else
            QCOMPARE(parsed.value_or(0), years);
        QCOMPARE(RefusalOf([] { TClassificationStore::ParseRetention(QStringLiteral(" ")); }),
                 QStringLiteral("Rok čuvanja mora biti upisan: broj godina ili „trajno“."));
    }

    void updateKeepsHistory()
    {
        const qint64 id = store().Add(QStringLiteral("7"), QStringLiteral("Arhiva"), std::nullopt);
        store().Update(id, QStringLiteral("Arhivsko poslovanje"), 50);
        store().Update(id, QStringLiteral("Arhivsko poslovanje"), 50); // nothing changed: nothing recorded
        QCOMPARE(RegisterHistoryLines(m_db.Connection(), QStringLiteral("classification"), id),
                 (QStringList{"i|Ana Petrović|active||y", "i|Ana Petrović|mark||7", "i|Ana Petrović|name||Arhiva",
                              "i|Ana Petrović|retentionyears||", "u|Ana Petrović|name|Arhiva|Arhivsko poslovanje", "u|Ana Petrović|retentionyears||50"}));
    }

    // The rules that keep the plan whole: an active mark's group is active,
    // and a mark goes only while nothing refers to it.
    void deactivateAndDelete()
    {
        TClassificationStore plan = store();
        const QString refusedGroup = RefusalOf([&] { plan.SetActive(id("01"), false); });
        QCOMPARE(refusedGroup, QStringLiteral("Grupa „01“ ima aktivne podgrupe: deaktivirajte prvo njih."));
        for (const char *mark : {"011", "012", "01"})
            plan.SetActive(id(mark), false);
        QCOMPARE(RefusalOf([&] { plan.SetActive(id("011"), true); }), QStringLiteral("Grupa „01“ nije aktivna: aktivirajte prvo nju."));
        QCOMPARE(RefusalOf([&] { plan.Add(QStringLiteral("013"), QStringLiteral("Novo"), 5); }),
                 QStringLiteral("Grupa „01“ nije aktivna: aktivirajte je pre nego što joj dodate podgrupu."));
        for (const char *mark : {"01", "011", "012"})
            plan.SetActive(id(mark), true);

        m_db.Connection().ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, "
                                                 "userid, classification) VALUES (1, '2026-02-03 10:00:00', '1/26', 'Dopis', ?, '022')"),
                                  {m_security->User.UserID});
        QCOMPARE(RefusalOf([&] { plan.Delete(id("022")); }),
                 QStringLiteral("Oznaka „022“ je upisana na stavkama delovodnika (1): ne može se obrisati, samo deaktivirati."));
        QCOMPARE(RefusalOf([&] { plan.Delete(id("02")); }),
                 QStringLiteral("Oznaka „02“ ima podgrupe: ne može se obrisati, samo deaktivirati."));
        const qint64 unused = id("021");
        plan.Delete(unused);
        QCOMPARE(scalar("SELECT COUNT(*) FROM classification WHERE mark = '021'").toInt(), 0);
        QCOMPARE(RegisterHistoryLines(m_db.Connection(), QStringLiteral("classification"), unused).first(),
                 QStringLiteral("d|Ana Petrović|active|y|"));
        QCOMPARE(RefusalOf([&] { plan.Delete(unused); }), QStringLiteral("Ta klasifikaciona oznaka više ne postoji u planu."));
    }

    void twoDesksAddTheSameMark()
    {
        int stored = 0;
        const QString refusal = raceOfTwo(m_db, [](TZConnection &c, int k) {
            TClassificationStore(c, RegisterActor(0, QStringLiteral("Desk"))).Add(QStringLiteral("8"),
                                                                                  k ? QStringLiteral("Prvi") : QStringLiteral("Drugi"), 3);
        }, stored);
        QCOMPARE(stored, 1);
        QVERIFY2(refusal.startsWith(QStringLiteral("Oznaka „8“ već postoji u klasifikacionom planu")), qPrintable(refusal));
        QCOMPARE(scalar("SELECT COUNT(*) FROM classification WHERE mark = '8'").toInt(), 1);
    }

    void planWindow_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::newRow("clerk") << false;
        QTest::newRow("administrator") << true;
    }

    // The plan reads as a tree; an administrator's "Dodaj…" begins with the
    // current mark, a clerk only reads.
    void planWindow()
    {
        QFETCH(bool, administrator);
        m_security->User.Administrator = administrator;
        ScopedScriptedDialogs dialogs;
        QString shownMark, firstRows, noteShown;
        bool addEnabled = true;
        dialogs->ModalHandlers.push_back([&](QDialog &window) {
            auto *table = window.findChild<TRegisterTable *>();
            table->SetFilter(QStringLiteral("organizacij"));
            const QAbstractItemModel *rows = table->View()->model();
            firstRows = rows->index(0, 0).data().toString() + u'|' + rows->index(1, 0).data().toString() + u'|'
                        + rows->index(1, 2).data().toString();
            table->SetFilter(QString());
            table->SetCurrentID(id("03"));
            if (administrator)
                SaveScreenshot(window, QStringLiteral("klasifikacioni-plan.png"));
            addEnabled = button(window, "addButton")->isEnabled() && button(window, "editButton")->isEnabled();
            noteShown = window.findChild<QLabel *>(QStringLiteral("readOnlyNote")) ? QStringLiteral("note") : QString();
            if (addEnabled)
                button(window, "addButton")->click();
            return int(QDialog::Rejected);
        });
        if (administrator)
            dialogs->ModalHandlers.push_back([&](QDialog &form) {
                shownMark = edit(form, "markEdit")->text();
                edit(form, "markEdit")->setText(QStringLiteral("033"));
                edit(form, "nameEdit")->setText(QStringLiteral("Zastupanje"));
                edit(form, "retentionEdit")->setText(QStringLiteral("trajno"));
                button(form, "okButton")->click();
                return form.result();
            });
        ShowClassificationWindow(m_db.Connection(), m_security.get());
        QCOMPARE(firstRows, QStringLiteral("   01|      011|trajno"));
        QCOMPARE(addEnabled, administrator);
        QCOMPARE(noteShown, QString(administrator ? "" : "note"));
        QCOMPARE(shownMark, QString(administrator ? "03" : ""));
        QCOMPARE(scalar("SELECT COUNT(*) FROM classification WHERE mark = '033' AND retentionyears IS NULL").toInt(),
                 administrator ? 1 : 0);
    }

    void addOrgUnit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // empty: stored
        QTest::newRow("same name") << "Pisarnica" << "Organizaciona jedinica „Pisarnica“ već postoji.";
        QTest::newRow("without diacritics") << "pravna sluzba" << "Organizaciona jedinica „Pravna služba“ već postoji.";
        QTest::newRow("Cyrillic") << "Финансијска служба" << "Organizaciona jedinica „Finansijska služba“ već postoji.";
        QTest::newRow("empty") << " " << "Naziv organizacione jedinice mora biti upisan.";
        QTest::newRow("new") << "Kabinet" << "";
    }

    void addOrgUnit()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const int before = count("orgunit");
        QCOMPARE(RefusalOf([&] { units().Add(QStringLiteral("09"), name); }), message);
        QCOMPARE(count("orgunit"), before + (message.isEmpty() ? 1 : 0));
    }

    void orgUnitChangesAndHistory()
    {
        TOrgUnitStore store = units();
        const qint64 id = store.Add(QString(), QStringLiteral("Arhiva"));
        store.Update(id, QStringLiteral("07"), QStringLiteral("Arhiva i pisarnica"));
        store.SetActive(id, false);
        QCOMPARE(RefusalOf([&] { store.Add(QString(), QStringLiteral("ARHIVA I PISARNICA")); }),
                 QStringLiteral("Organizaciona jedinica „Arhiva i pisarnica“ već postoji kao neaktivna; aktivirajte je."));
        QCOMPARE(RefusalOf([&] { store.Update(id, QString(21, u'1'), QStringLiteral("Arhiva")); }),
                 QStringLiteral("Šifra organizacione jedinice može imati najviše 20 znakova."));
        QCOMPARE(RegisterHistoryLines(m_db.Connection(), QStringLiteral("orgunit"), id),
                 (QStringList{"i|Ana Petrović|active||y", "i|Ana Petrović|code||", "i|Ana Petrović|name||Arhiva",
                              "u|Ana Petrović|code||07",
                              "u|Ana Petrović|name|Arhiva|Arhiva i pisarnica", "u|Ana Petrović|active|y|n"}));
    }

    void twoDesksAddTheSameUnit()
    {
        int stored = 0;
        const QString refusal = raceOfTwo(m_db, [](TZConnection &c, int k) {
            TOrgUnitStore(c, RegisterActor(0, QStringLiteral("Desk"))).Add(QString(), k ? QStringLiteral("Nabavka") : QStringLiteral("NABAVKA"));
        }, stored);
        QCOMPARE(stored, 1);
        QVERIFY2(refusal.startsWith(QStringLiteral("Organizaciona jedinica „")) && refusal.endsWith(QStringLiteral("“ već postoji.")),
                 qPrintable(refusal));
    }

    void orgUnitsWindowForClerks()
    {
        m_security->User.Administrator = false;
        ScopedScriptedDialogs dialogs;
        int rows = 0;
        bool editable = true;
        dialogs->ModalHandlers.push_back([&](QDialog &window) {
            window.findChild<TRegisterTable *>()->SetFilter(QStringLiteral("sluzba"));
            rows = window.findChild<TRegisterTable *>()->VisibleRows();
            editable = button(window, "addButton")->isEnabled() || button(window, "editButton")->isEnabled();
            return int(QDialog::Rejected);
        });
        ShowOrgUnitsWindow(m_db.Connection(), m_security.get());
        QCOMPARE(rows, 2);
        QVERIFY(!editable);
    }

private:
    TClassificationStore store() { return {m_db.Connection(), RegisterActor(7, QStringLiteral("Ana Petrović"))}; }
    TOrgUnitStore units() { return {m_db.Connection(), RegisterActor(7, QStringLiteral("Ana Petrović"))}; }
    QVariant scalar(const char *sql, const QVariantList &params = {})
    {
        auto q = m_db.Connection().OpenQuery(QString::fromUtf8(sql), params);
        return q->next() ? q->value(0) : QVariant();
    }
    int count(const char *table) { return scalar(QByteArray("SELECT COUNT(*) FROM ").append(table).constData()).toInt(); }
    qint64 id(const char *mark)
    {
        return scalar("SELECT classificationid FROM classification WHERE mark = ?", {QString::fromLatin1(mark)}).toLongLong();
    }

    TestDb m_db;
    IRef<TestSecurity> m_security;
};

QTEST_MAIN(TestClassification)
#include "tst_classification.moc"
