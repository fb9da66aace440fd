// The partners' register: PIB and matični broj, the store's checks and
// writes with their history, duplicates, merging, and the window and picker.

#include "KException.h"
#include "KInterfaces.h"
#include "PartnerNumbers.h"
#include "PartnerStore.h"
#include "TestDb.h"

#include <QSqlQuery>
#include <QtTest>

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

    void pib_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        const QString fine;
        const QString length = QStringLiteral("PIB mora imati 9 cifara.");
        const QString check = QStringLiteral("Kontrolna cifra PIB-a nije ispravna.");
        const QString digits = QStringLiteral("PIB sme sadržati samo cifre.");
        QTest::newRow("valid") << "104052135" << fine;
        QTest::newRow("valid, check digit 0") << "101910220" << fine;
        QTest::newRow("valid, spaces around") << " 107341216 " << fine;
        QTest::newRow("not given") << "" << fine;
        QTest::newRow("wrong check digit") << "104052136" << check;
        QTest::newRow("two digits swapped") << "140052135" << check;
        QTest::newRow("8 digits") << "10405213" << length;
        QTest::newRow("10 digits") << "1040521350" << length;
        QTest::newRow("letter") << "10405213A" << digits;
        QTest::newRow("space inside") << "104 052 135" << digits;
    }

    void pib()
    {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QCOMPARE(PibProblem(text), problem);
    }

    void mb_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        const QString fine;
        const QString length = QStringLiteral("Matični broj mora imati 8 cifara.");
        const QString check = QStringLiteral("Kontrolna cifra matičnog broja nije ispravna.");
        const QString digits = QStringLiteral("Matični broj sme sadržati samo cifre.");
        // Published numbers of Serbian companies and institutions.
        QTest::newRow("valid") << "20784245" << fine;
        QTest::newRow("valid, leading 0") << "07350767" << fine;
        QTest::newRow("valid, check digit 1") << "08715181" << fine;
        QTest::newRow("valid, remainder 1 gives 0") << "17335600" << fine;
        QTest::newRow("valid, entrepreneur") << "66143627" << fine;
        QTest::newRow("not given") << "" << fine;
        QTest::newRow("wrong check digit") << "20784246" << check;
        QTest::newRow("remainder 1 written 1") << "17335601" << check;
        QTest::newRow("7 digits") << "2078424" << length;
        QTest::newRow("9 digits") << "207842450" << length;
        QTest::newRow("letter") << "2078424O" << digits;
    }

    void mb()
    {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QCOMPARE(MbProblem(text), problem);
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
        QTest::newRow("Cyrillic name") << "Чачак-промет д.о.о." << "" << QStringList{"Cacak-promet D.O.O."};
        QTest::newRow("both, two partners") << "NIS A.D." << "107341216"
                                            << QStringList{"NIS a.d.", "Watch d.o.o."};
        QTest::newRow("inactive left out") << "Stari partner" << "" << QStringList{};
        QTest::newRow("nothing alike") << "Novi partner" << "101910220" << QStringList{};
    }

    void duplicates()
    {
        QFETCH(QString, name);
        QFETCH(QString, pib);
        QFETCH(QStringList, found);
        add(partner(QStringLiteral("NIS a.d."), QStringLiteral("104052135")));
        add(partner(QStringLiteral("Cacak-promet D.O.O.")));
        add(partner(QStringLiteral("Watch d.o.o."), QStringLiteral("107341216")));
        const qint64 old = add(partner(QStringLiteral("Stari partner")));
        SetPartnerActive(db(), old, false, Administrator);
        QStringList names;
        for (const TPartnerRecord &r : FindDuplicates(db(), partner(name, pib)))
            names << r.Name;
        QCOMPARE(names, found);
    }

    void duplicatesLeaveOutTheRecordItself()
    {
        TPartnerRecord r = partner(QStringLiteral("NIS a.d."), QStringLiteral("104052135"));
        r.ID = add(r);
        QVERIFY(FindDuplicates(db(), r).empty());
    }

};

QTEST_MAIN(TestPartners)
#include "tst_partners.moc"
