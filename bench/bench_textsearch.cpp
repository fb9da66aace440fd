// The search row "Tekst" on a generated book (a million items by default)
// with document texts kept for a tenth of them (100,000 by default): texts of
// a few hundred words drawn from a vocabulary, common words far more often
// than rare ones, and one rare word in a few texts. Searched as the search
// frame searches: the condition and the ranking built (the partners and
// types read and folded), the list opened, with its plan.
//
//   bench_textsearch [--rows N] [--texts N] [--backend sqlite|mariadb] [--socket PATH] [--keep DIR]

#include "BenchSupport.h"
#include "KException.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerSearchCriteria.h"
#include "data/SubjectWords.h"
#include "integration/LedgerRegistration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

namespace {

const QString RareWord = QStringLiteral("kvazimodo");
constexpr int RareTexts = 5; // texts holding the rare word

// Pseudo-words of two to four syllables, distinct when folded, the same on
// every run.
QStringList vocabulary(int size)
{
    const QStringList syllables{"ra", "zo", "pi", "ko", "ve", "šta", "no", "mi", "lje", "du", "ča", "bo", "sre",
                                "ti", "ga", "ću", "de", "ma", "žu", "sa", "lo", "ni", "po", "dža", "re", "vi"};
    QRandomGenerator random(27);
    QStringList words;
    QSet<QString> folded;
    while (words.size() < size) {
        QString word;
        for (int n = 2 + random.bounded(3); n > 0; --n)
            word += syllables.at(random.bounded(int(syllables.size())));
        const QStringList forms = SubjectWords(word);
        if (forms.size() == 1 && !folded.contains(forms.first())) {
            folded.insert(forms.first());
            words << word;
        }
    }
    return words;
}

QString rows(int count, const char *row)
{
    QStringList all;
    for (int i = 0; i < count; ++i)
        all << QString::fromLatin1(row);
    return all.join(QStringLiteral(", "));
}

// The texts of every (items / texts)th item: a few hundred words each, a
// word's chance falling with its place in the vocabulary. The texts go in by
// item, their words by word and item, the order of the word table's key.
void generateTexts(TZConnection &c, int items, int texts)
{
    QElapsedTimer timer;
    timer.start();
    std::fprintf(stderr, "generating %d document texts...\n", texts);
    // The generated rows name existing items and are distinct: MariaDB is
    // spared checking each one.
    if (c.Backend() == TBackend::SQLite)
        c.ExecSQL(QStringLiteral("PRAGMA cache_size = -262144"));
    else
        c.ExecSQL(QStringLiteral("SET SESSION foreign_key_checks = 0, unique_checks = 0"));
    const QStringList words = vocabulary(3000);
    QRandomGenerator random(9);
    const qint64 step = std::max(1, items / texts);
    const QString stored = TZConnection::DateTimeText(QDateTime::currentDateTime());
    std::vector<std::vector<qint64>> itemsOf(size_t(words.size()) + 1); // the last: the rare word
    std::vector<int> lastText(size_t(words.size()) + 1, -1);
    constexpr int Batch = 25;
    for (int first = 0; first < texts; first += 1000) {
        TZTransaction t(c);
        for (int batch = first; batch < std::min(texts, first + 1000); batch += Batch) {
            const int count = std::min(Batch, std::min(texts, first + 1000) - batch);
            QVariantList documents;
            for (int i = batch; i < batch + count; ++i) {
                const qint64 id = i * step + 1;
                const int length = 200 + random.bounded(200);
                const bool rare = i % std::max(1, texts / RareTexts) == texts / RareTexts / 2;
                const int rareAt = rare ? random.bounded(length) : -1;
                QStringList text;
                for (int n = 0; n < length; ++n) {
                    const double u = random.generateDouble();
                    const int w = n == rareAt ? int(words.size()) : int(u * u * u * words.size());
                    text << (n == rareAt ? RareWord : words.at(w));
                    if (lastText[size_t(w)] != i) {
                        lastText[size_t(w)] = i;
                        itemsOf[size_t(w)].push_back(id);
                    }
                }
                documents << id << QStringLiteral("%1").arg(i, 64, 16, QLatin1Char('0')) << text.join(u' ') << stored;
            }
            c.ExecSQL(QStringLiteral("INSERT INTO itemdocument (ledgeritemid, filesha256, documenttext, storedat) VALUES ")
                          + rows(count, "(?, ?, ?, ?)"),
                      documents);
        }
        t.Commit();
    }
    std::vector<std::pair<QString, size_t>> byWord;
    for (qsizetype w = 0; w < words.size(); ++w)
        byWord.emplace_back(SubjectWords(words.at(w)).first(), size_t(w));
    byWord.emplace_back(RareWord, size_t(words.size()));
    std::sort(byWord.begin(), byWord.end());
    qint64 wordRows = 0;
    QVariantList values;
    constexpr int RowsPerInsert = 100; // see ItemDocumentText.cpp
    TZConnection::TPrepared insert =
        c.Prepare(QStringLiteral("INSERT INTO documentword (word, ledgeritemid) VALUES ") + rows(RowsPerInsert, "(?, ?)"));
    // 200,000 rows a transaction: neither a commit per statement nor one huge undo log.
    std::optional<TZTransaction> t;
    const auto flush = [&] {
        if (values.isEmpty())
            return;
        if (!t)
            t.emplace(c);
        if (values.size() == 2 * RowsPerInsert)
            insert.Exec(values);
        else
            c.ExecSQL(QStringLiteral("INSERT INTO documentword (word, ledgeritemid) VALUES ") + rows(int(values.size() / 2), "(?, ?)"),
                      values);
        wordRows += values.size() / 2;
        values.clear();
        if (wordRows % 200000 == 0) {
            t->Commit();
            t.reset();
        }
    };
    for (const auto &[word, w] : byWord)
        for (const qint64 id : itemsOf[w]) {
            values << word << id;
            if (values.size() == 2 * RowsPerInsert)
                flush();
        }
    flush();
    if (t)
        t->Commit();
    if (c.Backend() != TBackend::SQLite)
        c.ExecSQL(QStringLiteral("SET SESSION foreign_key_checks = 1, unique_checks = 1"));
    std::printf("generated %d texts (%lld words kept) in %.1f s\n", texts, wordRows, timer.elapsed() / 1000.0);
}

// As the search frame does it: condition and ranking built, the list opened
// in the ranked order.
void benchSearch(TZConnection &conn, const QString &typed, const char *target)
{
    TLedgerItems &items = BenchItems();
    TLedgerSearchCriteria criteria;
    criteria.Texts.insert(TLedgerSearchCriteria::Text, typed);
    items.LedgerItemZQ->SetSortedFields(QString());
    const double ms = medianMs(11, [&] {
        QVariantList params;
        TLedgerItems::TTextRanking ranking;
        const QString condition = criteria.Condition(&conn, params, &ranking.Order, &ranking.Params);
        ranking.Typed = typed;
        items.ShowCondition(condition, params, ranking);
    });
    const double buildMs = medianMs(11, [&] {
        QVariantList params, orderParams;
        QString order;
        criteria.Condition(&conn, params, &order, &orderParams);
    });
    std::printf("search by Tekst '%s': %d rows in %.2f ms, of which building the statement %.2f ms (%s)\n  %s\n",
                qPrintable(typed), items.LedgerItemZQ->RecordCount(), ms, buildMs, target,
                qPrintable(QueryPlan(conn, items.LedgerItemZQ->OpenedSQL(), items.LedgerItemZQ->Params()).join("\n  ")));
    items.LedgerItemZQ->Close();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "1000000");
    AddBookOptions(p);
    p.addOption({"texts", "items with a document text", "N", "100000"});
    p.addHelpOption();
    p.process(app);
    const int items = p.value("rows").toInt();
    const int texts = std::min(items, p.value("texts").toInt());

    try {
        QTemporaryDir dir;
        TZConnection conn;
        OpenBook(p, dir.path(), conn, items);
        auto kept = conn.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM itemdocument"));
        kept->next();
        if (kept->value(0).toInt() != texts) {
            // TRUNCATE: deleting millions of rows one by one takes MariaDB minutes.
            const QString empty = IsMariaDb(p) ? QStringLiteral("TRUNCATE TABLE ") : QStringLiteral("DELETE FROM ");
            conn.ExecSQL(empty + QStringLiteral("documentword"));
            conn.ExecSQL(empty + QStringLiteral("itemdocument"));
            generateTexts(conn, items, texts);
        }

        Initialize();
        const IRef<BenchConsole> console = StandInConsole(conn);
        GlobalConsole = IRef<IConsole>(console);
        LedgerDM->SetZConnection(&conn);

        benchSearch(conn, RareWord, "rare word in the texts, target < 50 ms");
        benchSearch(conn, QStringLiteral("КВАЗИМОДО"), "the same in Cyrillic, target < 50 ms");
        benchSearch(conn, QStringLiteral("kvazi ra"), "rare and common prefix, target < 50 ms");
        benchSearch(conn, QStringLiteral("kopaonik"), "rare word in the subjects, target < 50 ms");
        benchSearch(conn, QStringLiteral("nepostojeca"), "no such word, target < 50 ms");

        GlobalConsole.reset();
        FreeBenchItems();
        Finalize();
        if (!KeepsBook(p) && IsMariaDb(p))
            conn.ExecSQL(QStringLiteral("DROP DATABASE ledger_bench"));
    } catch (const KException &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
