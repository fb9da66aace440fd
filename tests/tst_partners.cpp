// The partners' register: PIB and matični broj, the store's checks and
// writes with their history, duplicates, merging, and the window and picker.

#include "KException.h"
#include "Screenshot.h"
#include "KInterfaces.h"
#include "PartnerEditDialog.h"
#include "PartnerNumbers.h"
#include "PartnerService.h"
#include "PartnerStore.h"
#include "InterfaceScript.h"
#include "PartnersWindow.h"
#include "PickerDialog.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>
#include <barrier>
#include <thread>

namespace {

const TUserDesc Clerk{2, QStringLiteral("marko"), QStringLiteral("Marko"), QStringLiteral("Marković"), false};
const TUserDesc Administrator{1, QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Petrović"), true};

TPartnerRecord partner(const QString &name, const QString &pib = {}, const QString &mb = {})
{
    TPartnerRecord r;
    r.Name = name;
    r.City = QStringLiteral("Beograd");
    r.Pib = pib;
    r.Mb = mb;
    return r;
}

} // namespace

class TestPartners : public QObject
{
    Q_OBJECT

    TestDb m_db;

    TZConnection &db() { return m_db.Connection(); }

    QVariant scalar(const QString &sql, const QVariantList &params = {})
    {
        auto q = db().OpenQuery(sql, params);
        return q->next() ? q->value(0) : QVariant();
    }

    qint64 add(const TPartnerRecord &r)
    {
        return InsertPartner(db(), r, PartnerActor(Clerk));
    }

    void addItems(qint64 partnerID, int count)
    {
        for (int i = 0; i < count; ++i)
            db().ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, partnerid, "
                                        "itemtype, userid) VALUES (1, '2026-12-08 10:00:00', ?, ?, 'Dopis', 1)"),
                         {QStringLiteral("%1-%2").arg(partnerID).arg(i), partnerID});
    }

    int itemsOf(qint64 partnerID)
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE partnerid = ?"), {partnerID}).toInt();
    }

    // Types into the partner form's line objectName.
    static void type(QDialog &form, const char *objectName, const QString &text)
    {
        form.findChild<QLineEdit *>(QString::fromLatin1(objectName))->setText(text);
    }

    static int save(QDialog &form)
    {
        form.findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
        return form.result();
    }

    // The history of partner id as "kind column:old>new" lines, oldest first.
    QStringList history(qint64 id)
    {
        QStringList lines;
        auto q = db().OpenQuery(QStringLiteral("SELECT h.changekind, v.columnname, v.oldvalue, v.newvalue "
                                               "FROM registerhistory h JOIN registerhistoryvalue v "
                                               "ON v.registerhistoryid = h.registerhistoryid "
                                               "WHERE h.tablename = 'partner' AND h.recordid = ? "
                                               "ORDER BY h.registerhistoryid, v.columnname"),
                                {id});
        while (q->next())
            lines << QStringLiteral("%1 %2:%3>%4")
                         .arg(q->value(0).toString(), q->value(1).toString(), q->value(2).toString(),
                              q->value(3).toString());
        return lines;
    }

private slots:
    void init()
    {
        REQUIRE_TESTDB(m_db);
        db().ExecSQL(QStringLiteral("DELETE FROM ledgeritem"));
        db().ExecSQL(QStringLiteral("DELETE FROM partner"));
        db().ExecSQL(QStringLiteral("DELETE FROM registerhistoryvalue"));
        db().ExecSQL(QStringLiteral("DELETE FROM registerhistory"));
    }

    void numbers_data()
    {
        QTest::addColumn<bool>("pib"); // else matični broj
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        const QString fine;
        const QString pibLength = QStringLiteral("PIB mora imati 9 cifara.");
        const QString pibCheck = QStringLiteral("Kontrolna cifra PIB-a nije ispravna.");
        const QString mbLength = QStringLiteral("Matični broj mora imati 8 cifara.");
        const QString mbCheck = QStringLiteral("Kontrolna cifra matičnog broja nije ispravna.");
        // Published numbers of Serbian companies and institutions.
        QTest::newRow("PIB valid") << true << "104052135" << fine;
        QTest::newRow("PIB valid, check digit 0") << true << "101910220" << fine;
        QTest::newRow("PIB valid, spaces around") << true << " 107341216 " << fine;
        QTest::newRow("PIB not given") << true << "" << fine;
        QTest::newRow("PIB wrong check digit") << true << "104052136" << pibCheck;
        QTest::newRow("PIB two digits swapped") << true << "140052135" << pibCheck;
        QTest::newRow("PIB 8 digits") << true << "10405213" << pibLength;
        QTest::newRow("PIB 10 digits") << true << "1040521350" << pibLength;
        QTest::newRow("PIB letter") << true << "10405213A" << "PIB sme sadržati samo cifre.";
        QTest::newRow("PIB space inside") << true << "104 052 135" << "PIB sme sadržati samo cifre.";
        QTest::newRow("MB valid") << false << "20784245" << fine;
        QTest::newRow("MB valid, leading 0") << false << "07350767" << fine;
        QTest::newRow("MB valid, check digit 1") << false << "08715181" << fine;
        QTest::newRow("MB valid, remainder 1 gives 0") << false << "17335600" << fine;
        QTest::newRow("MB valid, entrepreneur") << false << "66143627" << fine;
        QTest::newRow("MB not given") << false << "" << fine;
        QTest::newRow("MB wrong check digit") << false << "20784246" << mbCheck;
        QTest::newRow("MB remainder 1 written 1") << false << "17335601" << mbCheck;
        QTest::newRow("MB 7 digits") << false << "2078424" << mbLength;
        QTest::newRow("MB 9 digits") << false << "207842450" << mbLength;
        QTest::newRow("MB letter") << false << "2078424O" << "Matični broj sme sadržati samo cifre.";
    }

    void numbers()
    {
        QFETCH(bool, pib);
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QCOMPARE(pib ? PibProblem(text) : MbProblem(text), problem);
    }

    void problem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pib");
        QTest::addColumn<QString>("mb");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("problem");
        QTest::newRow("all given") << "NIS a.d." << "104052135" << "20784245" << "office@nis.rs" << "";
        QTest::newRow("name only") << "Petar Perić" << "" << "" << "" << "";
        QTest::newRow("no name") << "  " << "" << "" << "" << "Naziv partnera je obavezan.";
        QTest::newRow("name too long") << QString(101, u'a') << "" << "" << ""
                                       << "Naziv može imati najviše 100 znakova.";
        QTest::newRow("bad PIB") << "A" << "104052136" << "" << "" << "Kontrolna cifra PIB-a nije ispravna.";
        QTest::newRow("bad MB") << "A" << "" << "123" << "" << "Matični broj mora imati 8 cifara.";
        const QString email = QStringLiteral("E-mail adresa nije ispravna (primer: kancelarija@firma.rs).");
        QTest::newRow("e-mail without @") << "A" << "" << "" << "office.nis.rs" << email;
        QTest::newRow("e-mail without domain dot") << "A" << "" << "" << "office@nis" << email;
        QTest::newRow("e-mail with space") << "A" << "" << "" << "of fice@nis.rs" << email;
        QTest::newRow("e-mail with two @") << "A" << "" << "" << "a@b@nis.rs" << email;
    }

    void problem()
    {
        QFETCH(QString, name);
        QFETCH(QString, pib);
        QFETCH(QString, mb);
        QFETCH(QString, email);
        QFETCH(QString, problem);
        TPartnerRecord r = partner(name, pib, mb);
        r.Email = email;
        QCOMPARE(PartnerProblem(r), problem);
    }

    void insertAndUpdateWriteHistory()
    {
        TPartnerRecord r = partner(QStringLiteral("  Čačak promet  "), QStringLiteral("104052135"));
        r.Email = QStringLiteral("office@cacak.rs");
        const qint64 id = add(r);
        QVERIFY(id > 0);
        const std::optional<TPartnerRecord> stored = ReadPartner(db(), id);
        QVERIFY(stored);
        QCOMPARE(stored->Name, QStringLiteral("Čačak promet"));
        QVERIFY(stored->Active);
        QVERIFY(scalar(QStringLiteral("SELECT address FROM partner WHERE partnerid = ?"), {id}).isNull());

        r = *stored;
        r.City = QStringLiteral("Čačak");
        r.Email.clear();
        QCOMPARE(UpdatePartner(db(), r, PartnerActor(Clerk)), id);
        QCOMPARE(history(id), (QStringList{"i active:>y", "i city:>Beograd", "i email:>office@cacak.rs",
                                           "i name:>Čačak promet", "i pib:>104052135", "u city:Beograd>Čačak",
                                           "u email:office@cacak.rs>"}));
        QCOMPARE(scalar(QStringLiteral("SELECT username FROM registerhistory WHERE recordid = ? "
                                       "ORDER BY registerhistoryid DESC"),
                        {id})
                     .toString(),
                 QStringLiteral("Marko Marković"));
    }

    void refusedWritesStoreNothing()
    {
        const qint64 id = add(partner(QStringLiteral("Alfa")));
        QVERIFY_THROWS_EXCEPTION(KException, add(partner(QStringLiteral("Beta"), QStringLiteral("123"))));
        TPartnerRecord r = partner(QString(), {});
        r.ID = id;
        QVERIFY_THROWS_EXCEPTION(KException, UpdatePartner(db(), r, PartnerActor(Clerk)));
        r.Name = QStringLiteral("Gama");
        r.ID = id + 1000;
        QVERIFY_THROWS_EXCEPTION(EStaleRow, UpdatePartner(db(), r, PartnerActor(Clerk)));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM partner")).toInt(), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT name FROM partner")).toString(), QStringLiteral("Alfa"));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM registerhistory")).toInt(), 1);
    }

    void duplicates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pib");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("same PIB") << "Nešto drugo" << "104052135" << QStringList{"NIS a.d."};
        QTest::newRow("folded name") << "ČAČAK-PROMET d.o.o." << "" << QStringList{"Cacak-promet D.O.O."};
        QTest::newRow("Cyrillic name") << "Чачак-промет д.о.о."
                                       << "" << QStringList{"Cacak-promet D.O.O."};
        QTest::newRow("both, two partners") << "NIS A.D." << "107341216"
                                            << QStringList{"NIS a.d.", "Watch d.o.o."};
        QTest::newRow("inactive left out") << "Stari partner" << "" << QStringList{};
        QTest::newRow("nothing alike") << "Novi partner" << "101910220" << QStringList{};
        QTest::newRow("itself") << "Watch d.o.o." << "107341216" << QStringList{};
    }

    void duplicates()
    {
        QFETCH(QString, name);
        QFETCH(QString, pib);
        QFETCH(QStringList, found);
        add(partner(QStringLiteral("NIS a.d."), QStringLiteral("104052135")));
        add(partner(QStringLiteral("Cacak-promet D.O.O.")));
        const qint64 watch = add(partner(QStringLiteral("Watch d.o.o."), QStringLiteral("107341216")));
        const qint64 old = add(partner(QStringLiteral("Stari partner")));
        SetPartnerActive(db(), old, false, Administrator);
        QStringList names;
        TPartnerRecord record = partner(name, pib);
        if (QByteArray(QTest::currentDataTag()) == "itself")
            record.ID = watch;
        for (const TPartnerRecord &r : FindDuplicates(db(), record))
            names << r.Name;
        QCOMPARE(names, found);
    }

    void merge()
    {
        const qint64 kept = add(partner(QStringLiteral("NIS a.d."), QStringLiteral("104052135")));
        const qint64 merged = add(partner(QStringLiteral("N.I.S. AD")));
        addItems(kept, 2);
        addItems(merged, 3);
        QCOMPARE(MergePartners(db(), kept, merged, Administrator), 3);
        QCOMPARE(itemsOf(kept), 5);
        QCOMPARE(itemsOf(merged), 0);
        QVERIFY(!ReadPartner(db(), merged)->Active);
        QCOMPARE(history(merged).filter(QRegularExpression(QStringLiteral("^m "))),
                 (QStringList{"m active:y>n", "m items:>3", QStringLiteral("m mergedinto:>%1").arg(kept)}));
        QCOMPARE(history(kept).filter(QRegularExpression(QStringLiteral("^m "))),
                 (QStringList{"m items:>3", QStringLiteral("m mergedfrom:>%1").arg(merged)}));
    }

    void mergeRefusals()
    {
        const qint64 a = add(partner(QStringLiteral("Alfa")));
        const qint64 b = add(partner(QStringLiteral("Beta")));
        addItems(b, 1);
        QVERIFY_THROWS_EXCEPTION(KException, MergePartners(db(), a, b, Clerk));
        QVERIFY_THROWS_EXCEPTION(KException, SetPartnerActive(db(), b, false, Clerk));
        QVERIFY_THROWS_EXCEPTION(KException, MergePartners(db(), a, a, Administrator));
        QVERIFY_THROWS_EXCEPTION(EStaleRow, MergePartners(db(), a, b + 1000, Administrator));
        SetPartnerActive(db(), a, false, Administrator);
        QVERIFY_THROWS_EXCEPTION(KException, MergePartners(db(), a, b, Administrator)); // into an inactive one
        QCOMPARE(itemsOf(b), 1);
        QVERIFY(ReadPartner(db(), b)->Active);
    }

    // The history's insert fails after the items were moved: nothing stays.
    void mergeFailingHalfWayLosesNothing()
    {
        const qint64 kept = add(partner(QStringLiteral("Alfa")));
        const qint64 merged = add(partner(QStringLiteral("Beta")));
        addItems(merged, 2);
        const bool sqlite = db().Backend() == TBackend::SQLite;
        const auto admin = m_db.OpenAdminConnection();
        admin->ExecSQL(sqlite ? QStringLiteral("CREATE TRIGGER failmerge BEFORE INSERT ON registerhistory "
                                             "WHEN NEW.changekind = 'm' BEGIN SELECT RAISE(ABORT, 'injected'); END")
                            : QStringLiteral("CREATE TRIGGER failmerge BEFORE INSERT ON registerhistory FOR EACH ROW "
                                             "BEGIN IF NEW.changekind = 'm' THEN SIGNAL SQLSTATE '45000' "
                                             "SET MESSAGE_TEXT = 'injected'; END IF; END"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, MergePartners(db(), kept, merged, Administrator));
        admin->ExecSQL(QStringLiteral("DROP TRIGGER failmerge"));
        QCOMPARE(itemsOf(merged), 2);
        QCOMPARE(itemsOf(kept), 0);
        QVERIFY(ReadPartner(db(), merged)->Active);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM registerhistory WHERE changekind = 'm'")).toInt(), 0);
    }

    // Two desks merge the same pair crosswise at once: one merge wins, the
    // other finds its kept partner gone inactive; no item is left behind.
    void twoDesksMergeCrosswise()
    {
        std::vector<std::pair<qint64, qint64>> pairs;
        for (int i = 0; i < 6; ++i) {
            pairs.emplace_back(add(partner(QStringLiteral("A%1").arg(i))), add(partner(QStringLiteral("B%1").arg(i))));
            addItems(pairs.back().first, 1);
            addItems(pairs.back().second, 1);
        }
        std::barrier meet(2);
        int refused[2] = {0, 0};
        QString errors[2];
        auto desk = [&](int k) {
            auto connection = m_db.OpenSecondConnection();
            for (const auto &[a, b] : pairs) {
                meet.arrive_and_wait();
                try {
                    MergePartners(*connection, k == 0 ? a : b, k == 0 ? b : a, Administrator);
                } catch (const EDatabaseError &e) {
                    errors[k] += e.message() + e.details();
                } catch (const KException &) {
                    ++refused[k];
                }
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        QCOMPARE(refused[0] + refused[1], 6);
        for (const auto &[a, b] : pairs) {
            const qint64 winner = ReadPartner(db(), a)->Active ? a : b;
            QVERIFY(ReadPartner(db(), a)->Active != ReadPartner(db(), b)->Active);
            QCOMPARE(itemsOf(winner), 2);
        }
    }

    void pickerOffersActiveOnlyAndNewPartner()
    {
        ScopedScriptedDialogs dialogs;
        add(partner(QStringLiteral("Alfa")));
        const qint64 old = add(partner(QStringLiteral("Stari")));
        addItems(old, 1);
        SetPartnerActive(db(), old, false, Administrator);
        QStringList offered;
        dialogs->ModalHandlers.push_back([&](QDialog &d) {
            auto &picker = dynamic_cast<TPickerDialog &>(d);
            const QAbstractItemModel *model = picker.findChild<QTableView *>()->model();
            for (int row = 0; row < model->rowCount(); ++row)
                offered << model->index(row, 0).data().toString();
            picker.SetFilter(QStringLiteral("Gama promet"));
            return TPickerDialog::NewRequested;
        });
        dialogs->ModalHandlers.push_back([&](QDialog &form) {
            if (form.findChild<QLineEdit *>(QStringLiteral("nameEdit"))->text() != QStringLiteral("Gama promet"))
                return int(QDialog::Rejected);
            type(form, "cityEdit", QStringLiteral("Niš"));
            return save(form);
        });
        IRef<TPartnerService> service(new TPartnerService(&db()));
        TPartnerDesc desc;
        QVERIFY(service->SelectPartner(desc));
        QCOMPARE(offered, QStringList{"Alfa"});
        QCOMPARE(desc.Name, QStringLiteral("Gama promet"));
        QCOMPARE(ReadPartner(db(), desc.PartnerID)->City, QStringLiteral("Niš"));
        // The inactive partner still names its item.
        QCOMPARE(scalar(QStringLiteral("SELECT p.name FROM ledgeritem l "
                                       "LEFT JOIN partner p ON p.partnerid = l.partnerid")),
                 QVariant(QStringLiteral("Stari")));
    }

    void formKeepsRefusedTextAndAsksAboutDuplicates_data()
    {
        QTest::addColumn<QString>("pib");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("partners");
        QTest::newRow("wrong PIB") << "104052136" << int(mbOK) << int(QDialog::Rejected) << 1;
        QTest::newRow("duplicate, Ne") << "104052135" << int(mbNo) << int(QDialog::Rejected) << 1;
        QTest::newRow("duplicate, Da") << "104052135" << int(mbYes) << int(QDialog::Accepted) << 2;
    }

    void formKeepsRefusedTextAndAsksAboutDuplicates()
    {
        QFETCH(QString, pib);
        QFETCH(int, answer);
        QFETCH(int, result);
        QFETCH(int, partners);
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(answer);
        add(partner(QStringLiteral("NIS a.d."), QStringLiteral("104052135")));
        TPartnerEditDialog form(db(), PartnerActor(Clerk), {});
        type(form, "nameEdit", QStringLiteral("Naftna industrija"));
        type(form, "pibEdit", pib);
        QCOMPARE(save(form), result);
        QCOMPARE(dialogs->Messages.size(), 1);
        if (answer != mbOK) {
            QVERIFY(dialogs->Messages[0].Text.contains(QStringLiteral("„NIS a.d.”")));
            QCOMPARE(dialogs->Messages[0].Buttons, int(mbYes | mbNo | mbDefaultNo));
        }
        QCOMPARE(form.Record().Pib, pib);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM partner")).toInt(), partners);
    }

    void windowFiltersAndRefusesClerks()
    {
        ScopedScriptedDialogs dialogs;
        const qint64 cacak = add(partner(QStringLiteral("Čačak promet")));
        add(partner(QStringLiteral("Beograd prevoz")));
        TPartnersWindow window(db(), Clerk);
        window.findChild<QLineEdit *>(QStringLiteral("filterEdit"))->setText(QStringLiteral("CACAK"));
        QCOMPARE(window.ShownNames(), QStringList{"Čačak promet"});
        QCOMPARE(window.CurrentPartnerID(), cacak);
        SaveScreenshot(window, QStringLiteral("partneri.png"));
        window.findChild<QPushButton *>(QStringLiteral("activeButton"))->click();
        window.findChild<QPushButton *>(QStringLiteral("mergeButton"))->click();
        QCOMPARE(dialogs->Messages.size(), 2);
        QCOMPARE(dialogs->Messages[1].Text, PartnerAdministratorOnlyText);
        QCOMPARE(dialogs->ModalCount, 0);
        QVERIFY(ReadPartner(db(), cacak)->Active);
    }

    void windowListsInTheScriptsAlphabet_data()
    {
        QTest::addColumn<int>("script");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("latin") << int(TScript::Latin)
                               << QStringList{"Cvetković", "Čačak promet", "Ćuprija", "Džep", "Đurić", "Zrenjanin", "Жабари"};
        QTest::newRow("cyrillic") << int(TScript::Cyrillic)
                                  << QStringList{"Đurić", "Жабари", "Zrenjanin", "Ćuprija", "Cvetković", "Čačak promet", "Džep"};
    }

    void windowListsInTheScriptsAlphabet()
    {
        QFETCH(int, script);
        QFETCH(QStringList, names);
        for (const char *name : {"Zrenjanin", "Džep", "Čačak promet", "Жабари", "Ćuprija", "Đurić", "Cvetković"})
            add(partner(QString::fromUtf8(name)));
        SetInterfaceScript(TScript(script));
        TPartnersWindow window(db(), Clerk);
        SetInterfaceScript(TScript::Latin);
        QCOMPARE(window.ShownNames(), names);
    }

    void windowMergesForAdministrator()
    {
        ScopedScriptedDialogs dialogs;
        const qint64 kept = add(partner(QStringLiteral("Alfa")));
        const qint64 merged = add(partner(QStringLiteral("Alfa stara")));
        addItems(merged, 2);
        TPartnersWindow window(db(), Administrator);
        window.SetCurrentPartner(merged);
        dialogs->ModalHandlers.push_back([](QDialog &d) {
            dynamic_cast<TPickerDialog &>(d).SetCurrentRow(0); // Alfa, the only other one
            return int(QDialog::Accepted);
        });
        dialogs->MessageAnswers = {mbYes, mbOK};
        window.findChild<QPushButton *>(QStringLiteral("mergeButton"))->click();
        QCOMPARE(itemsOf(kept), 2);
        QCOMPARE(dialogs->Messages.last().Text,
                 QStringLiteral("Partner „Alfa stara” je spojen u „Alfa”; premeštenih stavki: 2."));
        QCOMPARE(window.CurrentPartnerID(), kept);
    }
};

QTEST_MAIN(TestPartners)
#include "tst_partners.moc"
