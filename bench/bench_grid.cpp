// What a grid costs over a million rows held in memory: the data set's open
// and a click on a title (sort by a text column, by a number), each with the
// grid shown and without it, and the store's bytes per row.
//
//   bench_grid [--rows N]
//
// Target: a sort of a million rows by any text column under 1 s, the grid
// adding no more than a few milliseconds to an open or a sort.

#include "DBGrid.h"
#include "DataSet.h"
#include "DataSource.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <functional>

namespace {

// Rows like a ledger's: an id, a number of their own, a partner of 5,000, a kind of 8.
class MemRows : public TDataSet
{
public:
    int Rows = 0;

protected:
    void InternalOpen() override
    {
        ResetStore();
        static const char *kinds[] = {"Dopis", "Rešenje", "Faktura", "Ugovor", "Zahtev", "Žalba", "Ponuda", "Izveštaj"};
        for (int i = 0; i < Rows; ++i) {
            const uint32_t r = Store().AddRow();
            Store().SetInt(r, 0, i + 1);
            const QByteArray number = QByteArray::number(i % 40000 + 1) + '/' + QByteArray::number(17 + i / 40000 % 10);
            Store().SetText(r, 1, number.constData(), size_t(number.size()));
            const QByteArray partner = "Šumarstvo " + QByteArray::number((i * 7919) % 5000 + 1) + " d.o.o.";
            Store().SetText(r, 2, partner.constData(), size_t(partner.size()));
            Store().SetText(r, 3, kinds[i % 8], strlen(kinds[i % 8]));
            Order().push_back(r);
        }
        Store().Squeeze();
    }
    QVariant InternalPost(bool, const std::vector<TField *> &) override { return {}; }
    void InternalDelete() override {}
};

double ms(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addOption({"rows", "rows in memory", "N", "1000000"});
    p.addHelpOption();
    p.process(app);
    const int rows = p.value("rows").toInt();

    MemRows data;
    data.AddField(QStringLiteral("id"), TFieldType::Largeint);
    data.AddField(QStringLiteral("ledgernumber"), TFieldType::String);
    data.AddField(QStringLiteral("partnername"), TFieldType::String);
    data.AddField(QStringLiteral("itemtype"), TFieldType::String);
    data.Rows = rows;
    TDataSource source;
    source.SetDataSet(&data);

    const auto round = [&](const char *label) {
        data.Close();
        const double open = ms([&] { data.Open(); });
        QApplication::processEvents();
        std::printf("%s: open %.0f ms (%d rows, %.0f bytes/row in the store)\n", label, open, data.RecordCount(),
                    double(data.StoreMemoryUsed()) / std::max(1, data.RecordCount()));
        for (const char *sort : {"partnername", "ledgernumber", "itemtype", "id DESC", "partnername DESC, id"}) {
            const double t = ms([&] {
                data.SetSortedFields(QString::fromLatin1(sort));
                QApplication::processEvents();
            });
            std::printf("%s: sort by %s %.0f ms\n", label, sort, t);
        }
        data.SetSortedFields(QString());
    };
    round("no grid");
    {
        const long before = ProcessStatusKb("VmRSS:");
        TDBGrid grid;
        grid.resize(1000, 600);
        grid.SetDataSource(&source);
        for (const char *f : {"id", "ledgernumber", "partnername", "itemtype"})
            grid.AddColumn(QString::fromLatin1(f), 120);
        grid.show();
        QApplication::processEvents();
        std::printf("grid: shown over the open rows, process RSS grew %.1f bytes/row\n",
                    (ProcessStatusKb("VmRSS:") - before) * 1024.0 / rows);
        round("grid");
        // What the grid alone does when told the rows changed.
        data.DisableControls();
        data.SetSortedFields(QStringLiteral("id DESC"));
        const double told = ms([&] {
            data.EnableControls();
            QApplication::processEvents();
        });
        std::printf("grid: told of a million changed rows %.1f ms\n", told);
        const double scroll = ms([&] {
            data.Last();
            QApplication::processEvents();
            grid.grab();
        });
        std::printf("grid: to the last row and painted %.0f ms\n", scroll);
    }
    return 0;
}
