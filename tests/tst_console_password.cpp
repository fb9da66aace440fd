#include "PasswordHash.h"

#include <QtTest>

class TestConsolePassword : public QObject
{
    Q_OBJECT
private slots:
    // Published PBKDF2-HMAC-SHA256 vectors; the 40-byte one spans two blocks.
    void knownAnswers_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("c=1") << QByteArray("password") << QByteArray("salt") << 1
                             << QByteArray("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
        QTest::newRow("c=2") << QByteArray("password") << QByteArray("salt") << 2
                             << QByteArray("ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43");
        QTest::newRow("c=4096") << QByteArray("password") << QByteArray("salt") << 4096
                                << QByteArray("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
        QTest::newRow("two blocks") << QByteArray("passwordPASSWORDpassword")
                                    << QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt") << 4096
                                    << QByteArray("348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1"
                                                  "c635518c7dac47e9");
    }

    void knownAnswers()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        QFETCH(QByteArray, expected);
        QCOMPARE(Pbkdf2HmacSha256(password, salt, iterations, int(expected.size() / 2)).toHex(), expected);
    }

    void verify_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("attempt");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("right") << "ana123" << "ana123" << true;
        QTest::newRow("wrong") << "ana123" << "ana124" << false;
        QTest::newRow("case matters") << "ana123" << "ANA123" << false;
        QTest::newRow("empty attempt") << "ana123" << "" << false;
        QTest::newRow("trailing space") << "ana123" << "ana123 " << false;
        QTest::newRow("diacritics right") << "šifraČćĐž" << "šifraČćĐž" << true;
        QTest::newRow("diacritics not folded") << "šifraČćĐž" << "sifraCcDz" << false;
        // Both would read "?ifra" if the text went through Latin-1.
        QTest::newRow("non-latin letters kept apart") << "šifra" << "žifra" << false;
    }

    void verify()
    {
        QFETCH(QString, password);
        QFETCH(QString, attempt);
        QFETCH(bool, accepted);
        QCOMPARE(VerifyPassword(attempt, HashPassword(password)), accepted);
    }

    void saltMakesHashesDiffer()
    {
        const QString a = HashPassword(QStringLiteral("marko123"));
        const QString b = HashPassword(QStringLiteral("marko123"));
        QVERIFY(a != b);
        QVERIFY(VerifyPassword(QStringLiteral("marko123"), a));
        QVERIFY(VerifyPassword(QStringLiteral("marko123"), b));
    }

    void malformedStoredTextRefused_data()
    {
        // Built from a real hash so that only the damaged part is wrong.
        const QString good = HashPassword(QStringLiteral("jelena123"));
        const QStringList p = good.split(u'$');
        QVERIFY(p.size() == 4);
        auto join = [](const QStringList &parts) { return parts.join(u'$'); };

        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << QString();
        QTest::newRow("plain password") << "jelena123";
        QTest::newRow("missing digest") << join({p[0], p[1], p[2]});
        QTest::newRow("extra part") << good + "$x";
        QTest::newRow("other scheme") << join({"pbkdf2-sha1", p[1], p[2], p[3]});
        QTest::newRow("zero rounds") << join({p[0], "0", p[2], p[3]});
        QTest::newRow("negative rounds") << join({p[0], "-60000", p[2], p[3]});
        QTest::newRow("rounds not a number") << join({p[0], "šezdeset", p[2], p[3]});
        QTest::newRow("absurd rounds") << join({p[0], "2000000000", p[2], p[3]});
        QTest::newRow("rounds worth seconds of waiting") << join({p[0], "5000000", p[2], p[3]});
        QTest::newRow("salt not base64") << join({p[0], p[1], "!!!*", p[3]});
        QTest::newRow("empty salt") << join({p[0], p[1], "", p[3]});
        QTest::newRow("short digest") << join({p[0], p[1], p[2], QString::fromLatin1(QByteArray(16, 'a').toBase64())});
        QTest::newRow("digest with non-latin text") << join({p[0], p[1], p[2], "ččč"});
    }

    void malformedStoredTextRefused()
    {
        QFETCH(QString, stored);
        QVERIFY(!VerifyPassword(QStringLiteral("jelena123"), stored));
    }

    void hashHidesPassword()
    {
        const QString password = QStringLiteral("tajna-Šifra");
        const QString stored = HashPassword(password);
        QVERIFY(stored.startsWith(QStringLiteral("pbkdf2-sha256$60000$")));
        QVERIFY(!stored.contains(password, Qt::CaseInsensitive));
        QVERIFY(!stored.contains(QString::fromLatin1(password.toUtf8().toBase64())));
    }
};

QTEST_GUILESS_MAIN(TestConsolePassword)
#include "tst_console_password.moc"
