// Generates a realistic ledger (items over ten years and three directions,
// with pass-on copies, additional items, partners, documents and users) and
// measures the ledger item query on it, against the backend's own
// command-line client. Then hands a number of items to one user and times
// the handover record: accepting them all, against the client running the
// same statements, and writing the printed record as PDF. Every criterion of
// the search is timed on a selective value, with its plan; the partner also
// typed in Cyrillic and without diacritics. A post's cost with the folded
// keys against a book without them: run once more with --upto-step 9.
//
//   bench_ledger [--rows N] [--backend sqlite|mariadb] [--socket PATH]
//                [--handover N] [--record-pdf PATH] [--keep DIR] [--upto-step N] [--rounds N]

#include "BenchSupport.h"
#include "CommonStrings.h"
#include "Dialogs.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "ZConnection.h"
#include "data/LedgerProceedingReport.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/LedgerSearchCriteria.h"
#include "SqlText.h"
#include "integration/LedgerRegistration.h"
#include "screens/ProceedingUnit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Runs an SQL script through the backend's command-line client; its time in ms.
double clientScriptMs(const TConnectionParams &params, bool maria, const QString &script)
{
    QProcess client;
    if (maria)
        client.start(QStringLiteral("mariadb"), MariaDbClientArgs(params) << "--batch");
    else
        client.start(QStringLiteral("sqlite3"), {params.Database});
    QElapsedTimer t;
    t.start();
    client.write(script.toUtf8());
    client.closeWriteChannel();
    client.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (client.exitCode() != 0)
        std::printf("client failed: %s\n", client.readAllStandardError().constData());
    return ms;
}

// The client printing every row of sql; its time in ms, the bytes it wrote to out.
double clientReadMs(const TConnectionParams &params, bool maria, const QString &sql, const QString &out, double &bytes)
{
    QProcess client;
    QStringList args;
    if (maria)
        args << MariaDbClientArgs(params) << "--quick" << "--batch" << "-e" << sql;
    else
        args << params.Database << SqliteShellSql(sql);
    client.setStandardOutputFile(out);
    QElapsedTimer t;
    t.start();
    client.start(maria ? QStringLiteral("mariadb") : QStringLiteral("sqlite3"), args);
    client.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (client.exitCode() != 0)
        std::printf("client failed: %s\n", client.readAllStandardError().constData());
    bytes = double(QFileInfo(out).size());
    return ms;
}

// The text with each ? mark given its value as a literal, for the client
// (only the benchmark's own values: numbers and plain texts).
QString inlined(const QString &sql, const QVariantList &params)
{
    QString out;
    qsizetype next = 0;
    bool quoted = false;
    for (const QChar c : sql) {
        if (c == u'\'')
            quoted = !quoted;
        if (c != u'?' || quoted) {
            out += c;
            continue;
        }
        const QVariant &v = params.at(next++);
        const bool number = v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong;
        out += number ? v.toString() : u'\'' + v.toString().replace(u'\'', QStringLiteral("''")) + u'\'';
    }
    return out;
}

// Each criterion of the search frame alone, on a value that picks few items
// where the book has such (the flags and the direction have only a few values),
// loaded as the search loads it, and its plan as it runs, against the client.
void benchCriteria(TZConnection &conn, TZQuery &q, const TConnectionParams &params, bool maria, const QString &clientOut)
{
    // The client's own start: a query of one row.
    double bytes = 0;
    std::vector<double> startT;
    for (int i = 0; i < 3; ++i)
        startT.push_back(clientReadMs(params, maria, QStringLiteral("SELECT 1"), clientOut, bytes));
    const double clientStart = Median(startT);
    std::printf("client start-up (a query of one row): %.1f ms, counted in each client figure below\n", clientStart);
    const std::vector<TSortTerm> newestFirst{{QStringLiteral("ledgerdatetime"), true}, {QStringLiteral("ledgeritemid"), true}};
    const int lastYear = QDate::currentDate().year() - 1;
    const QString day = QDate(lastYear, 6, 15).toString(QStringLiteral("dd.MM.yyyy"));
    using C = TLedgerSearchCriteria;
    struct Case { QMap<QString, QString> texts; bool selective; };
    const std::vector<Case> cases{
        {{{C::Direction, GetDirectionCaption(1)}}, false},
        {{{C::LedgerNumber, QStringLiteral("1234/")}}, true},
        {{{C::DateFrom, day}, {C::DateTo, day}}, true},
        {{{C::Partner, QStringLiteral("Vodovod 1 d.o.o.")}}, true},
        // The same partner typed in Cyrillic, and one with diacritics typed without.
        {{{C::Partner, QStringLiteral("Водовод 1 д.о.о.")}}, true},
        {{{C::Partner, QStringLiteral("Čistoća 2 d.o.o.")}}, true},
        {{{C::Partner, QStringLiteral("CISTOCA 2 D.O.O.")}}, true},
        {{{C::ItemNumber, QStringLiteral("B12345")}}, true},
        {{{C::InUser, QStringLiteral("korisnik 7")}}, true},
        {{{C::OutUser, QStringLiteral("korisnik 7")}}, true},
        {{{C::Accepted, _NO_CAP}}, false},
        {{{C::Archived, _YES_CAP}}, true},
        {{{C::PassedOn, _YES_CAP}}, false},
        {{{C::Year, QString::number(lastYear)}}, false},
    };
    for (const Case &c : cases) {
        C criteria;
        criteria.Texts = c.texts;
        criteria.InUserID = criteria.OutUserID = 7;
        QVariantList values;
        const QString sql = LedgerDM->LedgerItemChangeSQLCondition(criteria.Condition(&conn, values));
        const double ms = medianMs(5, [&] {
            q.Close();
            q.SetSQL(sql, values);
            q.Open();
            q.SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
            q.First();
        });
        // The client with the search's order; SQLite's client lacks the
        // program's Serbian collation and fold that a prefix search names.
        QString client = QStringLiteral("client: none (the Serbian collation and fold are the program's)");
        if (maria || !(sql.contains(QLatin1String("SRLATN"), Qt::CaseInsensitive) || sql.contains(QLatin1String("SERBIANFOLD")))) {
            const QString text = OrderedSelect(inlined(sql, values), newestFirst);
            std::vector<double> clientT;
            for (int i = 0; i < 3; ++i)
                clientT.push_back(clientReadMs(params, maria, text, clientOut, bytes));
            client = QStringLiteral("client %1 ms").arg(Median(clientT), 0, 'f', 1);
        }
        const QString key = c.texts.firstKey();
        const char *target = !c.selective ? "not selective" : key == C::Partner ? "target < 20 ms" : "target < 50 ms";
        std::printf("search by %s '%s': %d rows in %.1f ms (%s); %s\n  %s\n", qPrintable(C::Caption(key)),
                    qPrintable(c.texts.first()), q.RecordCount(), ms, target, qPrintable(client),
                    qPrintable(QueryPlan(conn, q.OpenedSQL(), values).join("\n  ")));
        q.Close();
    }
}

QString roundsText(const std::vector<double> &v)
{
    QStringList out;
    for (double ms : v)
        out << QString::number(ms, 'f', 0);
    return out.join(u'/');
}


// The question of "Prihvati sve" answered "Da"; anything else said goes to the log.
class BenchYesDialogs : public TNoDialogs
{
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) override
    {
        return type == TMsgDlgType::Confirmation ? mbYes : TNoDialogs::MessageDlg(text, type, buttons, helpContext);
    }
};

// Items handed to a user of their own, accepted all at once in the handover
// record, then printed; the client runs the statements one post makes
// (uniqueness test, update) for the same rows.
void benchHandover(TZConnection &conn, BenchSecurity &security, const TConnectionParams &params, bool maria, int items,
                   const QString &pdfPath)
{
    conn.ExecSQL(QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) "
                                "VALUES ('Milan', 'Čubrilo', 'primalac', 'x')"));
    const qint64 recipient = conn.LastInsertID();
    const QString year = QString::number(QDate::currentDate().year() % 100);
    conn.ExecSQL(QStringLiteral("BEGIN"));
    for (int i = 1; i <= items; ++i)
        conn.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, itemnumber, "
                                    "itemdate, inuserid, userid, outuserid, accepted, archived) "
                                    "VALUES (0, ?, ?, 'Dopis', ?, ?, 2, 2, ?, 'n', 'n')"),
                     {conn.ToBindValue(QDateTime::currentDateTime()), QStringLiteral("Z-%1/%2").arg(i).arg(year),
                      QStringLiteral("BR-%1").arg(i), conn.ToBindValue(QDate::currentDate()), recipient});
    conn.ExecSQL(QStringLiteral("COMMIT"));
    security.UserID = int(recipient);

    TProceedingForm form(nullptr);
    form.show();
    QApplication::processEvents();
    const int listed = form.Items().LedgerItemZQ->RecordCount();
    QElapsedTimer t;
    std::unique_ptr<IDialogs> previous = SetDialogs(std::make_unique<BenchYesDialogs>());
    t.start();
    form.AcceptAllButtonClick();
    const double acceptMs = t.nsecsElapsed() / 1e6;
    SetDialogs(std::move(previous));
    int stored = 0;
    if (auto count = conn.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE outuserid = ? AND accepted = 'y'"),
                                    {recipient});
        count->next())
        stored = count->value(0).toInt();

    t.restart();
    SaveLedgerProceedingReport(form.Items().LedgerItemZQ, QStringLiteral("Zapisnik"), pdfPath);
    const double pdfMs = t.nsecsElapsed() / 1e6;

    conn.ExecSQL(QStringLiteral("UPDATE ledgeritem SET accepted = 'n' WHERE outuserid = ?"), {recipient});
    QString script;
    {
        // Read to the end and let go: an open result keeps SQLite's file locked.
        auto ids = conn.OpenQuery(QStringLiteral("SELECT ledgeritemid, ledgernumber FROM ledgeritem WHERE outuserid = ?"),
                                  {recipient});
        while (ids->next())
            script += QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ledgernumber = '%2' AND ledgeritemid <> %1 "
                                     "AND (passonparentid IS NULL AND direction = '0');\n"
                                     "UPDATE ledgeritem SET accepted = 'y' WHERE ledgeritemid = %1;\n")
                          .arg(ids->value(0).toLongLong())
                          .arg(ids->value(1).toString());
    }
    const double clientMs = clientScriptMs(params, maria, script);

    std::printf("handover record: %d items listed, accept-all %.0f ms (%d stored; target < 1000 ms on MariaDB); "
                "%s client, same statements %.0f ms\n",
                listed, acceptMs, stored, maria ? "mariadb" : "sqlite3", clientMs);
    std::printf("handover record: PDF of %d rows written in %.0f ms (target < 2000 ms), %lld bytes: %s\n", listed, pdfMs,
                QFileInfo(pdfPath).size(), qPrintable(pdfPath));
    form.close();
}

// The production dialogs, but the long-load wait answers as a user would:
// waits on, or presses "Otkaži" once CancelAtRows rows have come.
class BenchWaitDialogs : public IDialogs
{
public:
    explicit BenchWaitDialogs(IDialogs &real) : m_real(real) {}
    qint64 CancelAtRows = -1;
    int Showings = 0;
    qint64 LastRows = 0;
    QElapsedTimer SinceCancel; // valid once cancelled

    bool DatabaseWait(int, bool, qint64 rowsLoaded) override
    {
        ++Showings;
        LastRows = rowsLoaded;
        if (CancelAtRows < 0 || rowsLoaded < CancelAtRows)
            return true;
        if (!SinceCancel.isValid())
            SinceCancel.start();
        return false;
    }
    TModalResult MessageDlg(const QString &t, TMsgDlgType y, TMsgDlgButtons b, int h) override { return m_real.MessageDlg(t, y, b, h); }
    bool GetDate(QDate &d) override { return m_real.GetDate(d); }
    bool GetDateTime(QDateTime &d) override { return m_real.GetDateTime(d); }
    QString BrowseDialog(const QString &t, int f) override { return m_real.BrowseDialog(t, f); }
    QString OpenFileDialog(const QString &t, const QString &f) override { return m_real.OpenFileDialog(t, f); }
    bool OpenWithDefaultApplication(const QString &p) override { return m_real.OpenWithDefaultApplication(p); }
    int ShowModal(QDialog &d) override { return m_real.ShowModal(d); }
    void PrintPreview(QPrinter &p, const std::function<void(QPrinter &)> &paint) override { m_real.PrintPreview(p, paint); }
    void ShowHelp(const QString &r, const QString &t, const QString &a) override { m_real.ShowHelp(r, t, a); }

private:
    IDialogs &m_real;
};

// The whole list loads while a timer on the GUI thread ticks every 50 ms:
// the longest gap between ticks is how long the window stood still. Then
// the same load is cancelled halfway through its rows.
// Microseconds per item of writing rows items in one transaction, rolled
// back: the statement each post ends in, without the post's checks, so that
// what an index adds to it shows.
double itemWriteUs(TZConnection &c, int rows)
{
    const bool sqlite = c.Backend() == TBackend::SQLite;
    const QDateTime now = QDateTime::currentDateTime();
    TZConnection::TPrepared insert = c.Prepare(QStringLiteral(
        "INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, partnerid, itemtype, itemnumber, userid) "
        "VALUES (1, ?, ?, 1, ?, ?, 1)"));
    c.ExecSQL(QStringLiteral("BEGIN"));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rows; ++i)
        insert.Exec({sqlite ? QVariant(TZConnection::DateTimeText(now)) : QVariant(now), QStringLiteral("K%1/99").arg(i),
                     QStringLiteral("Žalba"), QStringLiteral("Ђ-%1").arg(i)});
    const double us = t.nsecsElapsed() / 1e3 / rows;
    c.ExecSQL(QStringLiteral("ROLLBACK"));
    return us;
}

// The folded keys' share of writing an item. SQLite: the same writes with
// and without their indexes, alternating; MariaDB keeps them in its columns,
// so there the figure is compared with a run on a book of step 9.
void benchFoldedKeysWrite(TZConnection &c)
{
    const int rows = 2000;
    if (c.Backend() != TBackend::SQLite || SchemaVersion(c) < 10) {
        std::printf("writing an item's row (step %d): %.1f us\n", SchemaVersion(c),
                    Median({itemWriteUs(c, rows), itemWriteUs(c, rows), itemWriteUs(c, rows)}));
        return;
    }
    std::vector<double> with{itemWriteUs(c, rows)}, without;
    for (const QString index : {"ix_partner_namefold", "ix_ledgeritem_ledgernumberfold", "ix_ledgeritem_itemnumberfold",
                                "ix_ledgeritem_itemtypefold"})
        c.ExecSQL(QStringLiteral("DROP INDEX ") + index);
    without.push_back(itemWriteUs(c, rows));
    without.push_back(itemWriteUs(c, rows));
    for (const QString &statement : SchemaStepStatements(c, 10))
        c.ExecSQL(statement);
    with.push_back(itemWriteUs(c, rows));
    const double w = (with[0] + with[1]) / 2, wo = (without[0] + without[1]) / 2;
    std::printf("writing an item's row: %.1f us with the folded keys, %.1f us without; the keys' share %.1f us "
                "(target < 500 us)\n", w, wo, w - wo);
}

void benchResponsiveLoad(TZQuery &q, const QString &sql)
{
    auto owned = std::make_unique<BenchWaitDialogs>(Dialogs());
    BenchWaitDialogs &dialogs = *owned;
    std::unique_ptr<IDialogs> previous = SetDialogs(std::move(owned));
    const QString sort = q.SortedFields();
    q.Close();
    q.SetSortedFields(QString()); // the sort of a million rows is not part of the load
    q.SetSQL(sql);
    QElapsedTimer clock;
    qint64 lastTick = 0, longest = 0;
    QTimer tick;
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    clock.start();
    tick.start();
    q.Open();
    const qint64 loadMs = clock.elapsed();
    longest = std::max(longest, loadMs - lastTick);
    tick.stop();
    std::printf("responsive load: longest GUI gap %lld ms (timer every 50 ms) while %d rows loaded in %lld ms; "
                "progress shown %d times, last \"%s\"\n",
                longest, q.RecordCount(), loadMs, dialogs.Showings, qPrintable(LoadedRowsText(dialogs.LastRows)));

    dialogs.CancelAtRows = q.RecordCount() / 2;
    q.Close();
    dialogs.Showings = 0;
    try {
        q.Open();
        std::printf("cancel: the load ended before it was cancelled\n");
    } catch (const EAbort &) {
        std::printf("cancel: returned in %lld ms (pressed after %lld rows; list active afterwards: %s)\n",
                    dialogs.SinceCancel.elapsed(), dialogs.LastRows, q.Active() ? "yes" : "no");
    }
    SetDialogs(std::move(previous));
    q.SetSortedFields(sort);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    AddBenchOptions(p, "1000000");
    p.addOption({"handover", "items in the handover record", "N", "1000"});
    p.addOption({"rounds", "alternating rounds of opening all items", "N", "3"});
    p.addOption({"record-pdf", "where the handover record's PDF goes", "PATH"});
    AddBookOptions(p);
    p.addHelpOption();
    p.process(app);
    const int rows = p.value("rows").toInt();
    const bool maria = IsMariaDb(p);

    try {
        QTemporaryDir dir;
        TZConnection conn;
        const TConnectionParams params = OpenBook(p, dir.path(), conn, rows);

        Initialize();
        const IRef<BenchConsole> console = StandInConsole(conn);
        GlobalConsole = IRef<IConsole>(console);
        LedgerDM->SetZConnection(&conn);
        TZQuery *q = BenchItems().LedgerItemZQ;

        // Open all, newest first, as the list opens once its sort is set
        // (the first filter of the day sets it). The project against the
        // client reading the same text with the ORDER BY that sort means, and
        // against the client reading the text the project ran; the sides
        // alternate, three rounds (--rounds N more on a noisy machine).
        const QString newestFirst = QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC");
        const QString allSql = LedgerDM->LedgerItemChangeSQLCondition(QString());
        const QString sortedSql = OrderedSelect(allSql, {{QStringLiteral("ledgerdatetime"), true}, {QStringLiteral("ledgeritemid"), true}});
        q->SetSortedFields(newestFirst);
        const long rssBefore = ProcessStatusKb("VmRSS:");
        std::vector<double> openT, sortedT, chosenT;
        double clientBytes = 0, storeBytes = 0, chosenBytes = 0;
        int count = 0;
        QString chosenSql;
        const QString clientOut = dir.filePath(QStringLiteral("client.out"));
        const int rounds = std::max(1, p.value("rounds").toInt());
        for (int round = 0; round < rounds; ++round) {
            q->Close();
            QElapsedTimer t;
            t.start();
            q->SetSQL(allSql);
            q->Open();
            q->SetSortedFields(newestFirst);
            q->First();
            openT.push_back(t.nsecsElapsed() / 1e6);
            count = q->RecordCount();
            storeBytes = double(q->StoreMemoryUsed());
            chosenSql = q->OpenedSQL();
            sortedT.push_back(clientReadMs(params, maria, sortedSql, clientOut, clientBytes));
            chosenT.push_back(clientReadMs(params, maria, chosenSql, clientOut, chosenBytes));
        }
        const long rssPeak = ProcessStatusKb("VmHWM:");
        const char *program = maria ? "mariadb" : "sqlite3";
        const double openMs = Median(openT), clientMs = Median(sortedT), chosenMs = Median(chosenT);
        std::printf("open all: %d rows in %.0f ms; %s client %.0f ms; ratio %.2f (target <= 1)\n", count, openMs,
                    program, clientMs, openMs / clientMs);
        std::printf("  rounds (alternating): project %s ms; client with ORDER BY %s ms; client, project's text %s ms\n",
                    qPrintable(roundsText(openT)), qPrintable(roundsText(sortedT)), qPrintable(roundsText(chosenT)));
        const qsizetype orderAt = chosenSql.indexOf(QLatin1String("\nORDER BY "));
        const QString choice = orderAt < 0 ? QStringLiteral("no ORDER BY")
                                           : QStringLiteral("the SELECT ") + chosenSql.mid(orderAt + 1);
        std::printf("  the project's choice on this backend: %s, then the sort in memory (one pass when in order); "
                    "the client running that text %.0f ms; ratio %.2f\n",
                    qPrintable(choice), chosenMs, openMs / chosenMs);
        std::printf("row store: %.0f bytes/row; client output %.0f bytes/row; ratio %.2f (target <= 1); "
                    "process RSS grew %.0f bytes/row (peak %ld MiB)\n",
                    storeBytes / count, clientBytes / count, storeBytes / clientBytes,
                    (rssPeak - rssBefore) * 1024.0 / count, rssPeak / 1024);
        std::printf("plan, open all as the project runs it:\n  %s\n", qPrintable(QueryPlan(conn, chosenSql).join("\n  ")));
        // A click on a column title: the loaded rows sorted in memory.
        for (const char *column : {"partnername", "ledgernumber", "itemtype"}) {
            QElapsedTimer st;
            st.start();
            q->SetSortedFields(QString::fromLatin1(column));
            std::printf("sort by %s: %.0f ms for %d rows\n", column, st.nsecsElapsed() / 1e6, count);
        }
        q->SetSortedFields(newestFirst);
        benchResponsiveLoad(*q, allSql);
        q->Close();

        // Today's filter, numbering, a post with its uniqueness test.
        const QDate day = QDate::currentDate();
        const QString todayCond = QStringLiteral("l.ledgerdatetime >= ? AND l.ledgerdatetime <= ?");
        const QVariantList todayParams{TZConnection::DayStart(TZConnection::DateText(day)),
                                       TZConnection::DayEnd(TZConnection::DateText(day))};
        const double filterMs = medianMs(11, [&] {
            q->Close();
            q->SetSQL(LedgerDM->LedgerItemChangeSQLCondition(todayCond), todayParams);
            q->Open();
        });
        const int todayRows = q->RecordCount(); // before the posts below add to it
        const double indexMs = medianMs(11, [&] { LedgerDM->GetLedgerIndex(QDateTime::currentDateTime(), 1); });
        const QString uniqueSql = QStringLiteral(
            "SELECT COUNT(*) FROM `ledgeritem` WHERE `ledgernumber` = ? AND `ledgeritemid` <> ? "
            "AND (passonparentid IS NULL AND direction = '1')");
        const double uniqueMs = medianMs(11, [&] {
            auto u = conn.OpenQuery(uniqueSql, {QStringLiteral("5/%1").arg(day.year() % 100, 2, 10, QLatin1Char('0')), 7});
            u->next();
        });
        const double postMs = medianMs(11, [&] {
            q->Append();
            BenchItems().LedgerItemZQitemtype->SetAsString(QStringLiteral("Dopis"));
            q->Post();
        });
        std::printf("today's filter (%d rows): %.2f ms; GetLedgerIndex: %.2f ms; uniqueness test: %.2f ms "
                    "(target < 20 ms each); whole post of a new item (numbering, checks, insert): %.2f ms\n",
                    todayRows, filterMs, indexMs, uniqueMs, postMs);
        const QString todayLiteral = QStringLiteral("l.ledgerdatetime >= '%1' AND l.ledgerdatetime <= '%2'")
                                         .arg(todayParams.at(0).toString(), todayParams.at(1).toString());
        std::printf("plan, day filter:\n  %s\n", qPrintable(QueryPlan(conn, LedgerDM->LedgerItemChangeSQLCondition(todayLiteral)).join("\n  ")));
        std::printf("plan, GetLedgerIndex:\n  %s\n", qPrintable(QueryPlan(conn, QStringLiteral(
            "SELECT COUNT(ledgeritemid) AS ledgercount FROM ledgeritem WHERE passonparentid IS NULL AND NOT (ledgernumber LIKE '%-%') "
            "AND ledgerdatetime >= ? AND ledgerdatetime < ? AND direction = 1"),
            {QString::number(day.year()) + QStringLiteral("-01-01"), QString::number(day.year() + 1) + QStringLiteral("-01-01")}).join("\n  ")));
        std::printf("plan, uniqueness test:\n  %s\n", qPrintable(QueryPlan(conn, QStringLiteral(
            "SELECT COUNT(*) FROM `ledgeritem` WHERE `ledgernumber` = ? AND `ledgeritemid` <> 7 "
            "AND (passonparentid IS NULL AND direction = '1')"), {QStringLiteral("5/%1").arg(day.year() % 100, 2, 10, QLatin1Char('0'))}).join("\n  ")));
        q->Close();
        benchFoldedKeysWrite(conn);
        benchCriteria(conn, *q, params, maria, clientOut);
        const QString pdfPath = p.isSet("record-pdf") ? p.value("record-pdf") : dir.filePath(QStringLiteral("zapisnik.pdf"));
        benchHandover(conn, *console->Security.get(), params, maria, p.value("handover").toInt(), pdfPath);
        q->Close();
        GlobalConsole.reset();
        FreeBenchItems();
        Finalize();
        if (KeepsBook(p))
            TrimBook(conn, rows);
        else if (maria)
            conn.ExecSQL(QStringLiteral("DROP DATABASE ledger_bench"));
    } catch (const KException &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
