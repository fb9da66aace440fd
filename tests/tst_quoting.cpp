// Hostile texts on the real databases: written through bound parameters and
// through posts, found again by a condition built with QuotedStr. No text may
// change the structure of a statement.

#include "DatasetTestUtil.h"
#include "SqlText.h"

using namespace dst;

namespace {

const QList<QPair<const char *, QString>> &hostileTexts()
{
    static const QList<QPair<const char *, QString>> texts = {
        {"quote inside", QStringLiteral("a'b")},
        {"windows path", QStringLiteral("C:\\arhiva\\a'b")},
        {"injection", QStringLiteral("\\'; DROP TABLE partner; --")},
        {"two backslashes", QStringLiteral("\\\\")},
        {"one quote", QStringLiteral("'")},
        {"two quotes", QStringLiteral("''")},
        {"one backslash", QStringLiteral("\\")},
        {"trailing backslash", QStringLiteral("Beograd\\")},
        {"wildcards", QStringLiteral("%_")},
        {"newline", QStringLiteral("prvi red\ndrugi red")},
        {"double quote", QStringLiteral("\"citat\" \\\"")},
        {"serbian and 4-byte", QString::fromUtf8("Čačak Ćuprija Đurđevo Šabac Žabalj \xF0\x9F\x93\x9C")},
    };
    return texts;
}

const QString kBase = QStringLiteral("SELECT partnerid, name, address, city FROM partner WHERE partnerid = -1 ORDER BY name");

} // namespace

class TestQuoting : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        DB_SETUP(m_db);
        // Every hostile text is in the table at once, so a condition that matched
        // more than its own row would show.
        for (const auto &t : hostileTexts())
            m_db->Connection().ExecSQL(QStringLiteral("INSERT INTO partner (name, city) VALUES (?, ?)"), {t.second, t.second});
    }

    void cleanup() { m_db.reset(); }

    void foundByQuotedCondition_data()
    {
        QTest::addColumn<QString>("text");
        for (const auto &t : hostileTexts())
            QTest::newRow(t.first) << t.second;
    }

    void foundByQuotedCondition()
    {
        QFETCH(QString, text);
        TZConnection &c = m_db->Connection();
        const int total = partnerCount();
        QCOMPARE(total, hostileTexts().size());

        TZReadOnlyQuery q(&c);
        q.SetSQL(QStringLiteral("SELECT partnerid, name FROM partner WHERE name = ") + QuotedStr(text));
        DB_TRY(q.Open());
        QCOMPARE(q.RecordCount(), 1);
        QCOMPARE(q.FieldByName(QStringLiteral("name")).AsString(), text);
        const qint64 id = q.FieldByName(QStringLiteral("partnerid")).AsLargeInt();

        // The same through a changed condition, then changed once more: the
        // hostile literal must not confuse the second change either.
        const QString withText = ChangeSQLCondition(kBase, QStringLiteral("city = %1 AND name = %1").arg(QuotedStr(text)));
        q.SetSQL(withText);
        DB_TRY(q.Open());
        QCOMPARE(q.RecordCount(), 1);
        QCOMPARE(q.FieldByName(QStringLiteral("city")).AsString(), text);
        q.SetSQL(ChangeSQLCondition(withText, QStringLiteral("partnerid = %1").arg(id)));
        DB_TRY(q.Open());
        QCOMPARE(q.RecordCount(), 1);
        QCOMPARE(q.FieldByName(QStringLiteral("name")).AsString(), text);
        q.SetSQL(ChangeSQLCondition(withText, QString()));
        DB_TRY(q.Open());
        QCOMPARE(q.RecordCount(), total);

        // Written as a condition of a write too.
        QCOMPARE(c.ExecSQL(QStringLiteral("UPDATE partner SET address = 'x' WHERE name = ") + QuotedStr(text)), 1);
        QCOMPARE(partnerCount(), total);
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM partner WHERE address = 'x'")).toInt(), 1);
    }

    void roundTripThroughPosts_data() { foundByQuotedCondition_data(); }

    void roundTripThroughPosts()
    {
        QFETCH(QString, text);
        TZConnection &c = m_db->Connection();
        const int before = partnerCount();
        const QString name = QStringLiteral("N:") + text;
        auto q = liveQuery(c, ChangeSQLCondition(kBase, QStringLiteral("name = ") + QuotedStr(name)));
        DB_TRY(q->Open());
        QVERIFY(q->IsEmpty());
        DB_TRY(q->Append());
        q->FieldByName(QStringLiteral("name")).SetAsString(name);
        q->FieldByName(QStringLiteral("address")).SetAsString(text);
        DB_TRY(q->Post());
        const qint64 id = q->FieldByName(QStringLiteral("partnerid")).AsLargeInt();
        QVERIFY(id > 0);
        q->Close();
        q->Open(); // the condition finds the new row
        QCOMPARE(q->RecordCount(), 1);
        QCOMPARE(q->FieldByName(QStringLiteral("partnerid")).AsLargeInt(), id);
        DB_TRY(q->Edit());
        q->FieldByName(QStringLiteral("city")).SetAsString(text);
        q->FieldByName(QStringLiteral("address")).SetAsString(QStringLiteral("a") + text);
        DB_TRY(q->Post());

        auto raw = c.OpenQuery(QStringLiteral("SELECT name, address, city FROM partner WHERE partnerid = ?"), {id});
        QVERIFY(raw->next());
        QCOMPARE(raw->value(0).toString(), name);
        QCOMPARE(raw->value(1).toString(), QStringLiteral("a") + text);
        QCOMPARE(raw->value(2).toString(), text);
        raw.reset();
        QCOMPARE(partnerCount(), before + 1);
    }

private:
    int partnerCount() { return scalar(m_db->Connection(), QStringLiteral("SELECT COUNT(*) FROM partner")).toInt(); }
    std::unique_ptr<TestDb> m_db;
};

QTEST_GUILESS_MAIN(TestQuoting)
#include "tst_quoting.moc"
