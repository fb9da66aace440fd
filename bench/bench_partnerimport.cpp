// Importing an office's partner list: 20,000 rows of a CSV saved from a
// spreadsheet (Windows-1250, ';'), a tenth of them duplicates, into a book
// that has 2,000 partners already.
//
//   bench_partnerimport [--rows N] [--backend sqlite|mariadb] [--socket PATH]
//
// Target: under 5 s for 20,000 rows on both backends, reading the file and
// the history included.

#include "BenchSupport.h"
#include "PartnerImport.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const char *const Kinds[] = {"Opština", "Dom zdravlja", "Osnovna škola", "JKP", "Preduzeće", "Udruženje", "Fond"};
const char *const Names[] = {"Čačak", "Šabac", "Niš", "Kragujevac", "Đakovica", "Užice", "Požarevac", "Zaječar",
                             "Smederevo", "Leskovac", "Vranje", "Subotica", "Sombor", "Kikinda", "Bor"};
const char *const Streets[] = {"Kneza Miloša", "Njegoševa", "Karađorđeva", "Cara Dušana", "Vojvode Mišića"};

QString partnerName(int i)
{
    return QStringLiteral("%1 „%2 %3“").arg(QString::fromUtf8(Kinds[i % 7]), QString::fromUtf8(Names[(i / 7) % 15]))
        .arg(i);
}

QByteArray partnerFile(int rows)
{
    QString text = QStringLiteral("Naziv;Adresa;Mesto;PIB;Telefon\r\n");
    for (int i = 0; i < rows; ++i) {
        // Every tenth row repeats a partner the book has.
        const int n = i % 10 == 0 ? (i / 10) % 2000 : 2000 + i;
        text += QStringLiteral("%1;%2 %3;%4;;011/%5\r\n")
                    .arg(partnerName(n), QString::fromUtf8(Streets[n % 5]))
                    .arg(n % 200 + 1)
                    .arg(QString::fromUtf8(Names[n % 15]))
                    .arg(1000000 + n);
    }
    QStringEncoder cp1250("windows-1250");
    return cp1250.encode(text);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "20000");
    p.process(app);
    const int rows = p.value("rows").toInt();
    QTemporaryDir dir;
    TZConnection c;
    c.SetParams(FreshDatabase(p, dir.path(), QStringLiteral("partner_import_bench")));
    c.Connect();
    InstallSchema(c);
    auto existing = c.Prepare(QStringLiteral("INSERT INTO partner (name, city) VALUES (?, ?)"));
    c.ExecSQL(QStringLiteral("BEGIN"));
    for (int i = 0; i < 2000; ++i)
        existing.Exec({partnerName(i), QString::fromUtf8(Names[i % 15])});
    c.ExecSQL(QStringLiteral("COMMIT"));
    const QByteArray file = partnerFile(rows);

    QElapsedTimer timer;
    timer.start();
    const TPartnerCsv csv = ReadPartnerCsv(file);
    const qint64 readMs = timer.elapsed();
    const TPartnerImportResult result =
        ImportPartners(c, csv, csv.Columns, TDuplicateAction::Skip, RegisterActor(1, QStringLiteral("Bench")));
    const qint64 totalMs = timer.elapsed();
    std::printf("%s, %d rows (%.1f MB): read %lld ms, import %lld ms, total %lld ms (target < 5000 ms)\n%s\n",
                IsMariaDb(p) ? "MariaDB" : "SQLite", rows, file.size() / 1e6, readMs, totalMs - readMs, totalMs,
                qPrintable(PartnerImportSummary(result)));
    return 0;
}
