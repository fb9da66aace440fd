// Rows handed over on a second thread: order, values and errors as if stored
// on the reading thread.

#include "KException.h"
#include "RowPipe.h"

#include <QTest>
#include <string>

namespace {

// Keeps what it is given; throws at one row when asked to.
class Recorder : public TRowReceiver
{
public:
    void Columns(const QStringList &names, const std::vector<TFieldType> &) override { ColumnNames = names; }
    void Row(const char *const *, const size_t *) override { QFAIL("rows come raw"); }
    void RawRow(const TRawRow &row) override
    {
        if (Seen.size() == size_t(ThrowAt))
            throw EDatabaseError(QStringLiteral("red %1 nije upisan").arg(ThrowAt));
        QStringList cells;
        for (int i = 0; i < row.Count; ++i)
            cells << (row.IsInteger[i] ? QString::number(row.Integers[i])
                      : row.Texts[i]   ? u'\'' + QString::fromUtf8(row.Texts[i], qsizetype(row.Lengths[i])) + u'\''
                                       : QStringLiteral("NULL"));
        Seen << cells.join(u' ');
    }
    void End() override { Ended = true; }

    QStringList ColumnNames;
    QStringList Seen;
    int ThrowAt = -1;
    bool Ended = false;
};

// Row r: its number, a text only every third row has, an empty text, and
// a text as long as r in Serbian letters.
void feed(TRowReceiver &pipe, int rows)
{
    pipe.Columns({"id", "note", "empty", "name"}, std::vector<TFieldType>(4, TFieldType::String));
    for (int r = 0; r < rows; ++r) {
        const std::string name(size_t(r % 7) * 2, 'x');
        const std::string note = "čđž " + std::to_string(r);
        const char *texts[] = {nullptr, r % 3 == 0 ? note.c_str() : nullptr, "", name.c_str()};
        const size_t lengths[] = {0, note.size(), 0, name.size()};
        const qint64 integers[] = {qint64(r) << 33, 0, 0, 0};
        const bool isInteger[] = {true, false, false, false};
        pipe.RawRow({4, texts, lengths, integers, isInteger});
    }
}

} // namespace

class TestRowPipe : public QObject
{
    Q_OBJECT
private slots:
    void rowsArriveInOrder_data()
    {
        QTest::addColumn<int>("rows");
        for (int rows : {0, 1, TRowPipe::BatchRows - 1, TRowPipe::BatchRows, TRowPipe::BatchRows + 1, 9000})
            QTest::addRow("%d rows", rows) << rows;
    }

    void rowsArriveInOrder()
    {
        QFETCH(int, rows);
        Recorder target;
        TRowPipe pipe(target);
        feed(pipe, rows);
        pipe.End();
        QVERIFY(target.Ended);
        QCOMPARE(target.ColumnNames, QStringList({"id", "note", "empty", "name"}));
        QCOMPARE(target.Seen.size(), rows);
        if (rows > 1)
            QCOMPARE(target.Seen[1], QStringLiteral("8589934592 NULL '' 'xx'"));
        if (rows > 1025) {
            QCOMPARE(target.Seen[1023], QStringLiteral("8787503087616 'čđž 1023' '' 'xx'"));
            QCOMPARE(target.Seen[1024], QStringLiteral("8796093022208 NULL '' 'xxxx'"));
            QCOMPARE(target.Seen[1025], QStringLiteral("8804682956800 NULL '' 'xxxxxx'"));
        }
        if (rows > 0)
            QCOMPARE(target.Seen[0], QStringLiteral("0 'čđž 0' '' ''"));
    }

    void failedRowStopsTheRead_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("throwAt");
        QTest::newRow("short read, no thread") << 10 << 5;
        QTest::newRow("first batch") << 9000 << 5;
        QTest::newRow("second batch") << 9000 << TRowPipe::BatchRows + 10;
        QTest::newRow("last row") << 9000 << 8999;
    }

    void failedRowStopsTheRead()
    {
        QFETCH(int, rows);
        QFETCH(int, throwAt);
        Recorder target;
        target.ThrowAt = throwAt;
        TRowPipe pipe(target);
        try {
            feed(pipe, rows);
            pipe.End();
            QFAIL("the failed row was not reported");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.message(), QStringLiteral("red %1 nije upisan").arg(throwAt));
        }
        QCOMPARE(target.Seen.size(), throwAt);
        QVERIFY(!target.Ended);
    }

    void readEndedEarlyLeavesNoThread()
    {
        Recorder target;
        {
            TRowPipe pipe(target);
            feed(pipe, 5000); // a cancel: no End
        }
        QVERIFY(target.Seen.size() <= 5000);
        QVERIFY(!target.Ended);
    }
};

QTEST_GUILESS_MAIN(TestRowPipe)
#include "tst_rowpipe.moc"
