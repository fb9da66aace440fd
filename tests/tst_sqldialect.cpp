// Each backend's dialect without a database: what a typed search becomes,
// how a value is bound, and how a row is held.

#include "MariaDbDialect.h"
#include "SqliteDialect.h"

#include <QtTest>

namespace {
std::unique_ptr<TSqlDialect> dialect(const QString &backend)
{
    return MakeSqlDialect(backend == QLatin1String("mariadb") ? QStringLiteral("QMARIADB") : QStringLiteral("QSQLITE"));
}
const QString Last = QString::fromUcs4(U"\U0010FFFF");
} // namespace

class TestSqlDialect : public QObject
{
    Q_OBJECT
private slots:
    void likePrefix_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("sqlite plain") << "sqlite" << "Šab" << "Šab%";
        QTest::newRow("sqlite wildcards stay") << "sqlite" << "5%_a" << "5%_a%";
        QTest::newRow("sqlite backslash is a letter") << "sqlite" << "a\\b" << "a\\b%";
        QTest::newRow("mariadb plain") << "mariadb" << "Šab" << "Šab%";
        QTest::newRow("mariadb wildcards stay") << "mariadb" << "5%_a" << "5%_a%";
        QTest::newRow("mariadb backslash doubled") << "mariadb" << "a\\b\\" << "a\\\\b\\\\%";
    }
    void likePrefix()
    {
        QFETCH(QString, backend);
        QFETCH(QString, typed);
        QTEST(dialect(backend)->LikePrefix(typed), "pattern");
    }

    void prefixCondition_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QVariantList>("params");
        const QString range = QStringLiteral("name COLLATE SRLATN >= ? AND name COLLATE SRLATN < ?");
        QTest::newRow("sqlite range") << "sqlite" << "Ab" << range << QVariantList{"ab", "ab" + Last};
        QTest::newRow("sqlite range, then LIKE")
            << "sqlite" << "Ab%c" << range + " AND name LIKE ?" << QVariantList{"ab", "ab" + Last, "__%c%"};
        QTest::newRow("sqlite wildcard first") << "sqlite" << "_b" << "name LIKE ?" << QVariantList{"_b%"};
        QTest::newRow("mariadb LIKE over its collation")
            << "mariadb" << "Ab%c\\" << "name LIKE ?" << QVariantList{"Ab%c\\\\%"};
    }
    void prefixCondition()
    {
        QFETCH(QString, backend);
        QFETCH(QString, typed);
        // Appended to what the statement binds before.
        QVariantList bound{42};
        QTEST(dialect(backend)->PrefixCondition("name", typed, bound), "condition");
        QFETCH(QVariantList, params);
        QCOMPARE(bound, QVariantList{42} + params);
    }

    void foldedPrefixCondition_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QVariantList>("params");
        const QString sqlite = QStringLiteral("p.name IS NOT NULL AND SERBIANFOLD(p.name) >= ? AND SERBIANFOLD(p.name) < ?");
        const QString mariadb = QStringLiteral("p.namefold >= ? AND p.namefold < ?");
        QTest::newRow("sqlite Cyrillic") << "sqlite" << "Ђорђе" << sqlite << QVariantList{"djordje", "djordje" + Last};
        QTest::newRow("sqlite range, then LIKE") << "sqlite" << "Č%k" << sqlite + " AND SERBIANFOLD(p.name) LIKE ?"
                                                 << QVariantList{"c", "c" + Last, "c%k%"};
        QTest::newRow("sqlite wildcard first") << "sqlite" << "_Š" << "p.name IS NOT NULL AND SERBIANFOLD(p.name) LIKE ?" << QVariantList{"_s%"};
        QTest::newRow("mariadb without diacritics") << "mariadb" << "DJORDJE" << mariadb
                                                    << QVariantList{"djordje", "djordje" + Last};
        QTest::newRow("mariadb backslash doubled after a wildcard")
            << "mariadb" << "Ч_\\" << mariadb + " AND p.namefold LIKE ?" << QVariantList{"c", "c" + Last, "c_\\\\%"};
    }
    void foldedPrefixCondition()
    {
        QFETCH(QString, backend);
        QFETCH(QString, typed);
        QVariantList bound{42};
        QTEST(dialect(backend)->FoldedPrefixCondition("p.name", typed, bound), "condition");
        QFETCH(QVariantList, params);
        QCOMPARE(bound, QVariantList{42} + params);
    }

    void bindValue_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("bound");
        const QDateTime late(QDate(2026, 3, 1), QTime(23, 59, 59, 600));
        QTest::newRow("sqlite flag") << "sqlite" << QVariant(true) << QVariant("y");
        QTest::newRow("sqlite date") << "sqlite" << QVariant(QDate(2026, 3, 1)) << QVariant("2026-03-01");
        QTest::newRow("sqlite date-time, whole seconds") << "sqlite" << QVariant(late) << QVariant("2026-03-01 23:59:59");
        QTest::newRow("sqlite null") << "sqlite" << QVariant(QMetaType::fromType<QDate>()) << QVariant(QMetaType::fromType<QDate>());
        QTest::newRow("mariadb flag") << "mariadb" << QVariant(false) << QVariant("n");
        QTest::newRow("mariadb date") << "mariadb" << QVariant(QDate(2026, 3, 1)) << QVariant(QDate(2026, 3, 1));
        QTest::newRow("mariadb date-time, whole seconds")
            << "mariadb" << QVariant(late) << QVariant(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59)));
        QTest::newRow("mariadb number") << "mariadb" << QVariant(qint64(7)) << QVariant(qint64(7));
    }
    void bindValue()
    {
        QFETCH(QString, backend);
        QFETCH(QVariant, value);
        QTEST(dialect(backend)->BindValue(value), "bound");
    }

    void lockRow_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QString>("heldRead");
        QTest::addColumn<QString>("now");
        // SQLite's transaction holds the write lock from its start.
        QTest::newRow("sqlite") << "sqlite" << "BEGIN IMMEDIATE" << "SELECT `id` FROM `item` WHERE `id` = ?"
                                << "SELECT n, h FROM `head` WHERE `id` = ?"
                                << "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')";
        QTest::newRow("mariadb") << "mariadb" << "START TRANSACTION" << "SELECT `id` FROM `item` WHERE `id` = ? FOR UPDATE"
                                 << "SELECT n, h FROM `head` WHERE `id` = ? FOR UPDATE"
                                 << "DATE_FORMAT(NOW(), '%Y-%m-%d %H:%i:%s')";
    }
    void lockRow()
    {
        QFETCH(QString, backend);
        const auto d = dialect(backend);
        QTEST(d->BeginTransactionSql(), "begin");
        QTEST(d->LockRowSql("item", "id"), "lock");
        QTEST(d->HeldReadSql("head", "id", "n, h"), "heldRead");
        QTEST(d->NowSql(), "now");
    }
};

QTEST_APPLESS_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
