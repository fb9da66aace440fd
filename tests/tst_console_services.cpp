// The console's services over a real database filled with the sample book.

#include "KException.h"
#include "LoginDialog.h"
#include "SampleData.h"
#include "ScriptedDialogs.h"
#include "Services.h"
#include "TestDb.h"
#include "data/LedgerSampleData.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>
#include <set>

#define QCOMPARE_RET(a, b)                                                                            \
    do {                                                                                              \
        if (!QTest::qCompare(a, b, #a, #b, __FILE__, __LINE__))                                       \
            return int(QDialog::Rejected);                                                            \
    } while (false)

class TestConsoleServices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(m_db);
        SampleData::Fill(m_db.Connection());
        FillLedgerSampleData(m_db.Connection());
    }

    void login_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("right") << "ana" << "ana123" << true;
        QTest::newRow("login in capitals") << "MARKO" << "marko123" << true;
        QTest::newRow("wrong password") << "ana" << "ana1234" << false;
        QTest::newRow("someone else's password") << "jelena" << "ana123" << false;
        QTest::newRow("empty password") << "ana" << "" << false;
        QTest::newRow("unknown user") << "petar" << "ana123" << false;
        QTest::newRow("empty login") << "" << "" << false;
        QTest::newRow("quote in login") << "ana' OR '1'='1" << "x" << false;
    }

    void login()
    {
        REQUIRE_TESTDB(m_db);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        IRef<TSecurityService> security(new TSecurityService(&m_db.Connection()));
        QVERIFY(security->Login(QStringLiteral("jelena"), QStringLiteral("jelena123")));
        // A failed attempt must not leave the previous user logged in.
        QCOMPARE(security->Login(login, password), accepted);
        TUserDesc user;
        QCOMPARE(security->GetCurrentUser(user, 0), accepted);
        if (accepted)
            QCOMPARE(user.Login.toLower(), login.toLower());
    }

    void currentUserOnlyAfterLogin()
    {
        REQUIRE_TESTDB(m_db);
        IRef<TSecurityService> security(new TSecurityService(&m_db.Connection()));
        TUserDesc user;
        user.Login = QStringLiteral("neko");
        QVERIFY(!security->GetCurrentUser(user, 0));
        QCOMPARE(user.Login, QStringLiteral("neko"));
        QCOMPARE(security->GetConnection(), &m_db.Connection());
        QVERIFY(security->Connect());

        QVERIFY(security->Login(QStringLiteral("jelena"), QStringLiteral("jelena123")));
        QVERIFY(security->GetCurrentUser(user, 0));
        QCOMPARE(user.UserID, idOf(QStringLiteral("SELECT userid FROM user WHERE login = ?"), QStringLiteral("jelena")));
        QCOMPARE(user.Login, QStringLiteral("jelena"));
        QCOMPARE(user.FirstName, QStringLiteral("Jelena"));
        QCOMPARE(user.LastName, QStringLiteral("Đorđević"));
        QCOMPARE(security->CurrentUserName(), QStringLiteral("Jelena Đorđević"));
    }

    void savedUserLogsIn()
    {
        REQUIRE_TESTDB(m_db);
        IRef<TSecurityService> security(new TSecurityService(&m_db.Connection()));
        const QString login = QStringLiteral("dragan");
        security->SaveUser(login, QStringLiteral("Dragan"), QStringLiteral("Šešum"), QStringLiteral("prva"));
        QVERIFY(security->Login(login, QStringLiteral("prva")));
        QCOMPARE(security->CurrentUserName(), QStringLiteral("Dragan Šešum"));
        // Saving again changes the password of the same user.
        const qint64 id = idOf(QStringLiteral("SELECT userid FROM user WHERE login = ?"), login);
        security->SaveUser(login, QStringLiteral("Dragan"), QStringLiteral("Šešum"), QStringLiteral("druga"));
        QCOMPARE(idOf(QStringLiteral("SELECT userid FROM user WHERE login = ?"), login), id);
        QVERIFY(!security->Login(login, QStringLiteral("prva")));
        QVERIFY(security->Login(login, QStringLiteral("druga")));
        auto stored = m_db.Connection().OpenQuery(QStringLiteral("SELECT passwordhash FROM user WHERE login = ?"), {login});
        QVERIFY(stored->next());
        QVERIFY(!stored->value(0).toString().contains(QStringLiteral("druga")));
        QVERIFY_THROWS_EXCEPTION(KException, security->SaveUser(login, {}, {}, QString()));
        QVERIFY_THROWS_EXCEPTION(KException, security->SaveUser(QStringLiteral("  "), {}, {}, QStringLiteral("x")));
    }

    void loginDialogStaysOpenOnWrongPassword()
    {
        REQUIRE_TESTDB(m_db);
        ScopedScriptedDialogs dialogs;
        IRef<TSecurityService> security(new TSecurityService(&m_db.Connection()));
        QString firstError;
        bool openAfterWrong = false;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *login = dialog.findChild<QLineEdit *>(QStringLiteral("loginEdit"));
            auto *password = dialog.findChild<QLineEdit *>(QStringLiteral("passwordEdit"));
            auto *button = dialog.findChild<QPushButton *>(QStringLiteral("loginButton"));
            if (!login || !password || !button)
                return int(QDialog::Rejected);
            login->setText(QStringLiteral("ana"));
            password->setText(QStringLiteral("pogrešna"));
            button->click();
            openAfterWrong = dialog.result() != QDialog::Accepted;
            firstError = dialog.findChild<QLabel *>(QStringLiteral("errorLabel"))->text();
            password->setText(QStringLiteral("ana123"));
            button->click();
            return dialog.result();
        });
        TLoginDialog dialog(security.get());
        QCOMPARE(Dialogs().ShowModal(dialog), int(QDialog::Accepted));
        QVERIFY(openAfterWrong);
        QCOMPARE(firstError, QStringLiteral("Pogrešno korisničko ime ili lozinka."));
        QCOMPARE(security->CurrentUserName(), QStringLiteral("Ana Petrović"));
    }

    void pickers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("visibleRows");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("expected"); // partner name, user login or document number; empty: untouched

        QTest::newRow("partner with apostrophe") << "partner" << "o'neil" << 1 << true << "O'Neil d.o.o.";
        QTest::newRow("partner by city, č in lower case") << "partner" << "čačak" << 1 << true << "JKP Vodovod Čačak";
        QTest::newRow("partner, ž in capitals") << "partner" << "ŽABALJ" << 1 << true << "Opština Žabalj";
        QTest::newRow("partner cancelled") << "partner" << "o'neil" << 1 << false << "";
        QTest::newRow("partner, nothing matches") << "partner" << "nema takvog" << 0 << true << "";
        QTest::newRow("user by surname with đ") << "user" << "đorđ" << 1 << true << "jelena";
        QTest::newRow("user cancelled") << "user" << "marko" << 1 << false << "";
        QTest::newRow("document by description") << "document" << "popisu" << 1 << true << "IZ-02/26";
        QTest::newRow("document cancelled") << "document" << "" << 10 << false << "";
    }

    void pickers()
    {
        REQUIRE_TESTDB(m_db);
        QFETCH(QString, kind);
        QFETCH(QString, filter);
        QFETCH(int, visibleRows);
        QFETCH(bool, confirm);
        QFETCH(QString, expected);

        ScopedScriptedDialogs dialogs;
        int seenRows = -1;
        bool okEnabled = false;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("filterEdit"));
            auto *list = dialog.findChild<QTableView *>(QStringLiteral("list"));
            auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("okButton"));
            auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("cancelButton"));
            if (!edit || !list || !ok || !cancel)
                return int(QDialog::Rejected);
            // Key by key, as typed: QTest::keyClicks takes Latin-1 only.
            for (const QChar ch : filter)
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QCOMPARE_RET(edit->text(), filter);
            seenRows = list->model()->rowCount();
            okEnabled = ok->isEnabled();
            (confirm ? ok : cancel)->click();
            return dialog.result();
        });

        const qint32 sentinel = 987654;
        bool picked = false;
        QString got;
        qint64 gotId = 0, wantId = -2;
        if (kind == QLatin1String("partner")) {
            IRef<TPartnerService> service(new TPartnerService(&m_db.Connection()));
            TPartnerDesc desc;
            desc.PartnerID = sentinel;
            desc.Name = desc.Address = QStringLiteral("nepromenjeno");
            picked = service->SelectPartner(desc);
            got = desc.Name;
            gotId = desc.PartnerID;
            if (picked) {
                auto q = m_db.Connection().OpenQuery(QStringLiteral("SELECT partnerid, address FROM partner WHERE name = ?"),
                                                     {expected});
                QVERIFY(q->next());
                wantId = q->value(0).toLongLong();
                QCOMPARE(desc.Address, q->value(1).toString());
            } else {
                QCOMPARE(desc.Address, QStringLiteral("nepromenjeno"));
            }
        } else if (kind == QLatin1String("user")) {
            IRef<TSecurityService> service(new TSecurityService(&m_db.Connection()));
            TUserDesc desc;
            desc.UserID = sentinel;
            desc.Login = desc.FirstName = desc.LastName = QStringLiteral("nepromenjeno");
            picked = service->SelectUser(desc);
            got = desc.Login;
            gotId = desc.UserID;
            if (picked) {
                wantId = idOf(QStringLiteral("SELECT userid FROM user WHERE login = ?"), expected);
                QVERIFY(!desc.FirstName.isEmpty() && desc.FirstName != QLatin1String("nepromenjeno"));
            } else {
                QCOMPARE(desc.LastName, QStringLiteral("nepromenjeno"));
            }
        } else {
            IRef<TDocumentService> service(new TDocumentService(&m_db.Connection()));
            TDocumentDesc desc;
            desc.DocumentID = sentinel;
            desc.Number = desc.Description = QStringLiteral("nepromenjeno");
            picked = service->SelectDocument(desc);
            got = desc.Number;
            gotId = desc.DocumentID;
            if (picked) {
                wantId = idOf(QStringLiteral("SELECT documentid FROM document WHERE number = ?"), expected);
                QCOMPARE(desc.Description, QStringLiteral("Izveštaj o popisu imovine"));
            } else {
                QCOMPARE(desc.Description, QStringLiteral("nepromenjeno"));
            }
        }

        QCOMPARE(dialogs->ModalCount, 1);
        QCOMPARE(seenRows, visibleRows);
        QCOMPARE(okEnabled, visibleRows > 0);
        QCOMPARE(picked, !expected.isEmpty());
        if (picked) {
            QCOMPARE(got, expected);
            QCOMPARE(gotId, wantId);
        } else {
            QCOMPARE(got, QStringLiteral("nepromenjeno"));
            QCOMPARE(gotId, qint64(sentinel));
        }
    }

    void sampleNumbering()
    {
        REQUIRE_TESTDB(m_db);
        const QList<Row> rows = ledgerRows();
        QVERIFY2(rows.size() >= 40 && rows.size() <= 60, qPrintable(QString::number(rows.size())));

        QHash<qint64, Row> byId;
        for (const Row &r : rows) {
            QVERIFY(r.When.isValid());
            byId.insert(r.Id, r);
        }

        // Main items: 1/yy, 2/yy ... in date order within each direction and year.
        QMap<std::pair<int, int>, int> last;
        std::set<std::pair<int, QString>> taken;
        int additional = 0, passedOn = 0;
        for (const Row &r : rows) {
            if (r.PassOnParentId == 0)
                QVERIFY2(taken.insert({r.Direction, r.Number}).second, qPrintable(r.Number));
            if (r.PassOnParentId != 0) {
                QVERIFY(byId.contains(r.PassOnParentId));
                const Row &source = byId[r.PassOnParentId];
                QCOMPARE(r.Number, source.Number);
                QCOMPARE(r.Direction, source.Direction);
                QCOMPARE(r.InUserId, source.OutUserId);
                ++passedOn;
            } else if (r.ParentId != 0) {
                QVERIFY(byId.contains(r.ParentId));
                QVERIFY2(r.Number.startsWith(byId[r.ParentId].Number + u'-'), qPrintable(r.Number));
                ++additional;
            } else {
                const int year = r.When.date().year();
                const int n = ++last[{r.Direction, year}];
                QCOMPARE(r.Number, QStringLiteral("%1/%2").arg(n).arg(year % 100, 2, 10, QLatin1Char('0')));
            }
        }
        QVERIFY(additional >= 2);
        QVERIFY(passedOn >= 2);
        for (int direction : {-1, 0, 1})
            for (int year : {2024, 2025, QDate::currentDate().year()})
                QVERIFY2(last.value({direction, year}) > 0, qPrintable(QStringLiteral("%1 %2").arg(direction).arg(year)));
    }

    void sampleFlags()
    {
        REQUIRE_TESTDB(m_db);
        const QList<Row> rows = ledgerRows();
        const QDate today = QDate::currentDate();
        int todayCount = 0, pending = 0;
        for (const Row &r : rows) {
            QVERIFY2(r.When <= QDateTime::currentDateTime().addSecs(1), qPrintable(r.Number));
            todayCount += r.When.date() == today;
            pending += r.OutUserId != 0 && !r.Accepted;
        }
        QVERIFY(todayCount >= 1);
        QVERIFY(pending >= 2);

        auto q = m_db.Connection().OpenQuery(QStringLiteral(
            "SELECT COUNT(*), SUM(CASE WHEN archived = 'y' THEN 1 ELSE 0 END), "
            "SUM(CASE WHEN accepted = 'y' THEN 1 ELSE 0 END) FROM ledgeritem"));
        QVERIFY(q->next());
        const int all = q->value(0).toInt();
        QVERIFY(q->value(1).toInt() > 0 && q->value(1).toInt() < all);
        QVERIFY(q->value(2).toInt() > 0 && q->value(2).toInt() < all);
    }

private:
    struct Row
    {
        qint64 Id, ParentId, PassOnParentId, OutUserId, InUserId;
        int Direction;
        QDateTime When;
        QString Number;
        bool Accepted;
    };

    QList<Row> ledgerRows()
    {
        QList<Row> rows;
        auto q = m_db.Connection().OpenQuery(QStringLiteral(
            "SELECT ledgeritemid, parentid, passonparentid, outuserid, inuserid, direction, ledgerdatetime, "
            "ledgernumber, accepted FROM ledgeritem ORDER BY ledgerdatetime, ledgeritemid"));
        while (q->next()) {
            Row r;
            r.Id = q->value(0).toLongLong();
            r.ParentId = q->value(1).isNull() ? 0 : q->value(1).toLongLong();
            r.PassOnParentId = q->value(2).isNull() ? 0 : q->value(2).toLongLong();
            r.OutUserId = q->value(3).isNull() ? 0 : q->value(3).toLongLong();
            r.InUserId = q->value(4).isNull() ? 0 : q->value(4).toLongLong();
            r.Direction = q->value(5).toInt();
            const QVariant when = q->value(6);
            r.When = when.typeId() == QMetaType::QDateTime
                ? when.toDateTime()
                : QDateTime::fromString(when.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            r.Number = q->value(7).toString();
            r.Accepted = q->value(8).toString() == QLatin1String("y");
            rows << r;
        }
        return rows;
    }

    qint64 idOf(const QString &sql, const QString &key)
    {
        auto q = m_db.Connection().OpenQuery(sql, {key});
        return q->next() ? q->value(0).toLongLong() : -1;
    }

    TestDb m_db;
};

QTEST_MAIN(TestConsoleServices)
#include "tst_console_services.moc"
