// The paged table of the printed books over many pages: no row lost or
// repeated at a break, the header and "Strana N od M" on every page, no
// heading left alone at a page's foot, the closing lines once at the end.

#include "PagedReport.h"

#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Rows "r1".."r300" in 14 parts, each under a heading "Odeljak N".
TPagedReport longReport()
{
    TPagedReport r;
    r.Organization = QStringLiteral("Opština Šabac");
    r.Title = QStringLiteral("Probni spisak");
    r.Captions = {QStringLiteral("Oznaka"), QStringLiteral("Tekst")};
    r.Widths = {20, 80};
    r.Closing = {QStringLiteral("Kraj spiska")};
    r.RowCount = 314;
    r.Row = [](qint64 i) {
        const qint64 item = i - (i / 24) - 1; // every 24th line is a heading
        if (i % 24 == 0)
            return TPagedReportRow{{QStringLiteral("Odeljak %1").arg(i / 24 + 1)}, true, false};
        return TPagedReportRow{{QStringLiteral("r%1").arg(item + 1), QStringLiteral("tekst")}, false, false};
    };
    return r;
}

} // namespace

class TestPagedReport : public QObject
{
    Q_OBJECT
private slots:
    void pagesOfALongTable()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("spisak.pdf"));
        {
            QPdfWriter writer(file);
            writer.setPageLayout(PagedReportPageLayout());
            QCOMPARE(PaintPagedReport(longReport(), writer), TPaintOutcome::Done);
        }
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
        pages.removeAll(QString());
        QVERIFY(pages.size() >= 3);
        QStringList rows;
        static const QRegularExpression row(QStringLiteral("^\\s*(r\\d+|Odeljak \\d+)"), QRegularExpression::MultilineOption);
        for (int n = 0; n < pages.size(); ++n) {
            QVERIFY(pages[n].contains(QStringLiteral("Oznaka")));
            QVERIFY(pages[n].contains(QStringLiteral("Strana %1 od %2").arg(n + 1).arg(pages.size())));
            QCOMPARE(pages[n].contains(QStringLiteral("Kraj spiska")), n == pages.size() - 1);
            QStringList onPage;
            for (auto it = row.globalMatch(pages[n]); it.hasNext();)
                onPage << it.next().captured(1);
            QVERIFY2(!onPage.last().startsWith(QStringLiteral("Odeljak")), qPrintable(onPage.last()));
            rows << onPage;
        }
        QCOMPARE(rows.size(), 314);
        QCOMPARE(rows.filter(QRegularExpression(QStringLiteral("^r\\d+$"))).size(), 300);
        QCOMPARE(rows.first(), QStringLiteral("Odeljak 1"));
        QCOMPARE(rows.last(), QStringLiteral("r300"));
        for (int i = 1; i < rows.size(); ++i)
            if (rows[i].startsWith(u'r') && rows[i - 1].startsWith(u'r'))
                QCOMPARE(rows[i].mid(1).toInt(), rows[i - 1].mid(1).toInt() + 1);
    }

    void cancelledHalfway()
    {
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath(QStringLiteral("x.pdf")));
        qint64 last = 0;
        QCOMPARE(PaintPagedReport(longReport(), writer, [&](qint64 done, qint64 total) {
                     last = done;
                     return done < total / 2 + 50;
                 }),
                 TPaintOutcome::Cancelled);
        QVERIFY(last > 314 && last < 628);
    }
};

QTEST_MAIN(TestPagedReport)
#include "tst_pagedreport.moc"
