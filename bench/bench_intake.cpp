// What a clerk waits for when a document is brought to the desk: one A4
// letter scanned at 300 dpi read by OCR, per language set (median of 5 after
// the first, which also loads the languages' data), and a 20-page PDF with a
// text layer read (median of 5).
//
//   bench_intake [--runs N] [--pages N]
//
// Targets: a scanned page under 5 s; the 20-page PDF under 2 s.

#include "BenchSupport.h"
#include "IntakeTestDocs.h"
#include "KException.h"
#include "TestFiles.h"
#include "data/IntakeDocument.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

// An ordinary letter: its header, number, date, subject and body, in both
// scripts as such letters come.
QStringList letterLines()
{
    QStringList lines{QStringLiteral("REPUBLIKA SRBIJA"),
                      QStringLiteral("Opština Čačak – Odeljenje za urbanizam"),
                      QStringLiteral("Broj: 404-12/2026-03"),
                      QStringLiteral("Datum: 3. 12. 2026."),
                      QString(),
                      QStringLiteral("Predmet: Zahtev za izdavanje lokacijskih uslova"),
                      QString()};
    for (int i = 0; i < 8; ++i)
        lines << QStringLiteral("Obaveštavamo vas da je zahtev podnet dana 28.11.2026. godine uredno primljen,")
              << QStringLiteral("te da će o njemu biti odlučeno u zakonskom roku od petnaest dana.");
    lines << QString() << QStringLiteral("Љубазно вас молимо да нам доставите пројекат и доказ о уплати таксе.")
          << QStringLiteral("С поштовањем, начелник Ђорђе Жарковић");
    return lines;
}

QImage letterPage()
{
    QImage page(qRound(8.27 * TestDpi), qRound(11.69 * TestDpi), QImage::Format_Grayscale8);
    page.fill(Qt::white);
    page.setDotsPerMeterX(qRound(TestDpi / 0.0254));
    page.setDotsPerMeterY(qRound(TestDpi / 0.0254));
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(11);
    painter.setFont(font);
    double y = TestDpi;
    for (const QString &line : letterLines()) {
        painter.drawText(QPointF(TestDpi, y), line);
        y += TestDpi / 5.0;
    }
    return page;
}

QByteArray letterPdf(int pages)
{
    QList<QStringList> texts;
    for (int i = 0; i < pages; ++i)
        texts << letterLines().mid(0, 14);
    return TestTextPdf(texts);
}

struct TRun
{
    double Ms = 0;
    double CpuMs = 0; // every thread's processor time: the figure a busy shared machine leaves fair
};

void report(const QString &what, const TRun &first, const std::vector<TRun> &runs, double targetMs,
            const QString &note)
{
    std::vector<double> ms, cpu;
    for (const TRun &run : runs) {
        ms.push_back(run.Ms);
        cpu.push_back(run.CpuMs);
    }
    const double median = Median(ms);
    std::printf("%-36s first %6.0f ms; median of %zu %6.0f ms, processor %6.0f ms (target < %.0f ms: %s)\n  %s\n",
                qPrintable(what), first.Ms, runs.size(), median, Median(cpu), targetMs,
                median < targetMs ? "met" : "MISSED", qPrintable(note));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addOption({QStringLiteral("runs"), QStringLiteral("Timed runs after the first."), QStringLiteral("N"),
                 QStringLiteral("5")});
    p.addOption({QStringLiteral("pages"), QStringLiteral("Pages of the PDF with a text layer."), QStringLiteral("N"),
                 QStringLiteral("20")});
    p.addOption({QStringLiteral("languages"), QStringLiteral("Language sets to time, comma-separated."),
                 QStringLiteral("SETS"), QStringLiteral("srp_latn,srp,eng,srp+srp_latn+eng")});
    p.addHelpOption();
    p.process(app);
    const int runs = p.value(QStringLiteral("runs")).toInt();
    const int pages = p.value(QStringLiteral("pages")).toInt();

    try {
        QTemporaryDir dir;
        const QString scan = dir.filePath(QStringLiteral("sken.png"));
        WriteTestFile(scan, TestPng(letterPage()));
        const QString pdf = dir.filePath(QStringLiteral("dopis.pdf"));
        WriteTestFile(pdf, letterPdf(pages));

        auto time = [&](const QString &path, const QString &languages, QString &note) {
            TIntakeControl control;
            control.OcrLanguages = languages;
            QElapsedTimer t;
            const std::clock_t cpu = std::clock();
            t.start();
            const TIntakeDocument document = ReadIntakeFile(path, control);
            const TRun run{t.nsecsElapsed() / 1e6, double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC};
            note = QStringLiteral("%1 pages, %2 characters, confidence %3")
                       .arg(document.Pages.size())
                       .arg(document.Text().size())
                       .arg(document.Pages.value(0).Confidence, 0, 'f', 2);
            return run;
        };
        for (const QString &languages : p.value(QStringLiteral("languages")).split(u',', Qt::SkipEmptyParts)) {
            QString note;
            const TRun first = time(scan, languages, note);
            std::vector<TRun> times;
            for (int i = 0; i < runs; ++i)
                times.push_back(time(scan, languages, note));
            report(QStringLiteral("OCR of an A4 page, %1").arg(languages), first, times, 5000, note);
        }
        QString note;
        const TRun first = time(pdf, QString(), note);
        std::vector<TRun> times;
        for (int i = 0; i < runs; ++i)
            times.push_back(time(pdf, QString(), note));
        report(QStringLiteral("PDF of %1 pages with a text layer").arg(pages), first, times, 2000, note);
    } catch (const KException &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
