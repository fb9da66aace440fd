// The numbering check over small books written as text: each row is
// "number@date", "out " before it for an outgoing item, and "<origin" after
// it for a pass-on copy of the item numbered origin ("<" alone: that item is
// gone).

#include "data/LedgerContinuity.h"

#include <QtTest>

namespace {

QList<TContinuityRow> book(const QStringList &lines)
{
    QList<TContinuityRow> rows;
    for (QString line : lines) {
        TContinuityRow row;
        row.Id = rows.size() + 1;
        row.Direction = line.startsWith(QLatin1String("out ")) ? -1 : 1;
        line.remove(QStringLiteral("out "));
        const qsizetype copy = line.indexOf(u'<');
        if (copy >= 0) {
            row.PassOn = true;
            row.OriginNumber = line.mid(copy + 1);
            row.OriginFound = !row.OriginNumber.isEmpty();
            row.OriginDirection = row.Direction;
            line.truncate(copy);
        }
        const QStringList parts = line.split(u'@');
        row.Number = parts.at(0);
        row.When = QDateTime(QDate::fromString(parts.value(1, QStringLiteral("2026-03-01")), Qt::ISODate), QTime(9, 0));
        rows << row;
    }
    return rows;
}

} // namespace

class TestContinuity : public QObject
{
    Q_OBJECT
private slots:
    void findings_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("expected"); // "direction caption numbers"
        QTest::newRow("no gap") << QStringList{"1/26", "3/26", "2/26"} << QStringList{};
        QTest::newRow("one missing") << QStringList{"1/26", "4/26", "3/26"} << QStringList{"1 Nedostaje 2/26"};
        QTest::newRow("a run missing") << QStringList{"1/26", "5/26"} << QStringList{"1 Nedostaje 2/26 – 4/26"};
        QTest::newRow("copy renumbered onto a number in use")
            << QStringList{"1/26", "2/26", "2/26<1/26"} << QStringList{"1 Dvostruki broj 2/26"};
        QTest::newRow("copy keeps its number") << QStringList{"1/26", "2/26", "2/26<2/26"} << QStringList{};
        QTest::newRow("copy of last year's item keeps its number")
            << QStringList{"1/26", "40/25@2026-01-05<40/25"} << QStringList{};
        QTest::newRow("copy of a deleted item, number given again")
            << QStringList{"1/26", "1/26<"} << QStringList{"1 Dvostruki broj 1/26"};
        QTest::newRow("written with a leading zero") << QStringList{"1/26", "01/26"} << QStringList{"1 Dvostruki broj 1/26"};
        QTest::newRow("enclosures never a gap")
            << QStringList{"1/26", "1/26-1", "1/26-2", "2/26", "2/26-3"} << QStringList{};
        QTest::newRow("enclosure twice") << QStringList{"1/26", "1/26-1", "1/26-1"} << QStringList{"1 Dvostruki broj 1/26-1"};
        QTest::newRow("new year starts at 1")
            << QStringList{"38/25@2025-12-30", "39/25@2025-12-31", "1/26@2026-01-02", "2/26"} << QStringList{};
        QTest::newRow("number of last year")
            << QStringList{"1/26", "5/25@2026-01-03"} << QStringList{"1 Broj druge godine 5/25"};
        QTest::newRow("suffix is no year") << QStringList{"1/26", "2/2026"} << QStringList{"1 Neispravan broj 2/2026"};
        QTest::newRow("directions apart")
            << QStringList{"1/26", "out 1/26", "out 3/26", "2/26"} << QStringList{"-1 Nedostaje 2/26"};
    }
    void findings()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, expected);
        QStringList found;
        for (const TContinuityFinding &f : CheckContinuity(2026, book(rows)))
            found << QStringLiteral("%1 %2 %3").arg(f.Direction).arg(ContinuityKindCaption(f.Kind), f.Numbers);
        QCOMPARE(found, expected);
    }
};

QTEST_MAIN(TestContinuity)
#include "tst_continuity.moc"
