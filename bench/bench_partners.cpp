// What finding a partner costs with 20,000 of them (Serbian names with
// diacritics, a tenth inactive): the detail form's Partner completion (the
// load of the active partners with their folded names, and a filter per
// typed prefix), and the console's partner picker (its rows read and the
// dialog built, shown, then a filter per prefix typed into it).
//
//   bench_partners [--rows N] [--backend sqlite|mariadb --socket PATH]
//
// Target: the picker's open and each filter under 50 ms; a completion
// filter well under one keystroke (a few ms).

#include "Dialogs.h"
#include "PartnerService.h"
#include "PickerDialog.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "data/PartnerLookup.h"

#include "BenchSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

const QStringList kPrefixes{"p", "pe", "pet", "petr", "š", "šta", "cac", "čač", "đorđ", "djordje", "zivk", "xyz"};

// count partners of names like "Štamparija Đorđević Čačak d.o.o.", a tenth inactive.
void GeneratePartners(TZConnection &c, int count)
{
    const QStringList kinds{"Štamparija", "Knjižara", "Mlekara", "Pekara", "Auto servis", "Apoteka",
                            "Advokatska kancelarija", "Građevinsko preduzeće", "Trgovinska radnja", "Zanatska zadruga",
                            "Poljoprivredno gazdinstvo", "Računovodstvena agencija", "Ćilimara", "Žitopromet", "Šumarstvo"};
    const QStringList surnames{"Đorđević", "Čolić", "Šćekić", "Živković", "Jovanović", "Petrović", "Ćirić", "Nikolić",
                               "Marković", "Lukić", "Stojanović", "Ilić", "Đukić", "Pešić", "Šarić", "Milošević",
                               "Kovačević", "Todorović", "Ristić", "Mitrović", "Savić", "Živanović", "Čavić", "Jakšić",
                               "Vučković", "Stanković", "Božić", "Gajić", "Ačimović", "Mićić", "Lazić", "Tešić",
                               "Kostić", "Perić", "Radojičić", "Bašić", "Vasić", "Džamić", "Ljubić", "Njegoš"};
    const QStringList cities{"Čačak", "Niš", "Užice", "Šabac", "Požarevac", "Kruševac", "Zaječar", "Kraljevo",
                             "Ćuprija", "Smederevo", "Beograd", "Novi Sad", "Subotica", "Sremska Mitrovica", "Vršac",
                             "Leskovac", "Jagodina", "Valjevo", "Pančevo", "Zrenjanin", "Sombor", "Kragujevac",
                             "Bečej", "Priboj", "Knjaževac", "Aranđelovac", "Loznica", "Negotin", "Pirot", "Vranje",
                             "Ivanjica", "Šid", "Ćićevac", "Žabalj", "Đakovica"};
    const QStringList forms{"d.o.o.", "a.d.", "preduzetnik", "d.o.o.", "zadruga"};
    TZConnection::TPrepared insert =
        c.Prepare(QStringLiteral("INSERT INTO partner (name, address, city, active) VALUES (?, ?, ?, ?)"));
    c.ExecSQL(QStringLiteral("BEGIN"));
    for (int i = 0; i < count; ++i) {
        // Every combination once before any repeats, spread over the alphabet.
        const int k = int((qint64(i) * 7919) % (kinds.size() * surnames.size() * cities.size()));
        const QString &city = cities[k % cities.size()];
        const QString name = QStringLiteral("%1 %2 %3 %4")
                                 .arg(kinds[k / cities.size() % kinds.size()],
                                      surnames[k / cities.size() / kinds.size() % surnames.size()], city,
                                      forms[i % forms.size()]);
        insert.Exec({name, QStringLiteral("Ulica %1").arg(i % 300 + 1), city,
                     i % 10 == 9 ? QStringLiteral("n") : QStringLiteral("y")});
    }
    c.ExecSQL(QStringLiteral("COMMIT"));
}

// The dialog seam of the picker: the dialog is handed over instead of shown modally.
class HandOver : public TNoDialogs
{
public:
    std::function<int(QDialog &)> OnModal;
    int ShowModal(QDialog &dialog) override { return OnModal ? OnModal(dialog) : 0; }
};

double msSince(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

void benchCompletion(TZConnection &c, int runs)
{
    TPartnerLookup lookup;
    const double load = medianMs(runs, [&] { lookup.Load(c); });
    std::printf("\nPartner completion: %d active partners\n", lookup.Count());
    std::printf("  load (query, folded names)        %8.2f ms\n", load);
    for (const QString &prefix : kPrefixes) {
        int found = 0;
        const double ms = medianMs(runs * 5, [&] { found = int(lookup.Filter(prefix, 50).size()); });
        std::printf("  filter %s %3d shown          %8.3f ms\n", qPrintable(prefix.leftJustified(10)), found, ms);
    }
}

void benchPicker(TZConnection &c, int runs)
{
    std::printf("\nPartner picker (console)\n");
    TPartnerService service(&c);
    auto handOver = std::make_unique<HandOver>();
    HandOver *dialogs = handOver.get(); // the seam owns it until put back
    std::unique_ptr<IDialogs> previous = SetDialogs(std::move(handOver));
    std::vector<double> opens, shows;
    std::vector<std::vector<double>> filters(size_t(kPrefixes.size()));
    std::vector<int> shown(size_t(kPrefixes.size()));
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        dialogs->OnModal = [&](QDialog &dialog) {
            opens.push_back(msSince(t));
            QElapsedTimer s;
            s.start();
            dialog.show();
            QApplication::processEvents();
            shows.push_back(msSince(s));
            auto &picker = static_cast<TPickerDialog &>(dialog);
            for (int i = 0; i < kPrefixes.size(); ++i) {
                QElapsedTimer f;
                f.start();
                picker.SetFilter(kPrefixes[i]);
                QApplication::processEvents(); // the list repainted
                filters[size_t(i)].push_back(msSince(f));
                shown[size_t(i)] = picker.findChild<QAbstractItemView *>(QStringLiteral("list"))->model()->rowCount();
                picker.SetFilter(QString());
            }
            dialog.hide();
            return int(QDialog::Rejected);
        };
        TPartnerDesc desc;
        t.start();
        service.SelectPartner(desc);
    }
    SetDialogs(std::move(previous));
    // The service's SELECT alone, read to the end.
    const QString select = QStringLiteral("SELECT partnerid, name, address, city FROM partner ORDER BY %1, partnerid")
                               .arg(c.TextOrder(QStringLiteral("name")));
    QList<QStringList> rows;
    const double read = medianMs(runs, [&] {
        rows.clear();
        auto q = c.OpenQuery(select);
        while (q->next())
            rows << QStringList{q->value(1).toString(), q->value(2).toString(), q->value(3).toString()};
    });
    // The dialog alone, given those rows.
    const double build = medianMs(runs, [&] {
        TPickerDialog dialog(QStringLiteral("Izbor partnera"), {"Naziv", "Adresa", "Mesto"}, rows);
    });
    std::printf("  open (rows read, dialog built)    %8.2f ms\n", Median(opens));
    std::printf("    of which the SELECT (rows read)  %8.2f ms\n", read);
    std::printf("    and the dialog (rows given)      %8.2f ms\n", build);
    std::printf("  shown and painted                 %8.2f ms\n", Median(shows));
    for (int i = 0; i < kPrefixes.size(); ++i)
        std::printf("  filter %s %5d rows          %8.2f ms\n", qPrintable(kPrefixes[i].leftJustified(10)), shown[size_t(i)],
                    Median(filters[size_t(i)]));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "20000");
    p.addOption({"runs", "measured runs (median)", "N", "5"});
    p.addHelpOption();
    p.process(app);
    const int partners = p.value("rows").toInt();
    const int runs = std::max(1, p.value("runs").toInt());
    try {
        QTemporaryDir dir;
        TZConnection conn;
        conn.SetParams(FreshDatabase(p, dir.path(), QStringLiteral("partners_bench")));
        conn.Connect();
        InstallSchema(conn);
        QElapsedTimer gen;
        gen.start();
        GeneratePartners(conn, partners);
        std::printf("%s: %d partners generated in %.1f s\n", IsMariaDb(p) ? "MariaDB" : "SQLite", partners,
                    gen.elapsed() / 1000.0);
        benchCompletion(conn, runs);
        benchPicker(conn, runs);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
