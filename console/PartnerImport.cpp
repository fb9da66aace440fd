#include "PartnerImport.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianFold.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QHash>
#include <QSqlQuery>

namespace {

const QString PartnerTable = QStringLiteral("partner");

QString cell(const TCsvRow &row, qsizetype index)
{
    return index < row.Cells.size() ? row.Cells.at(index).trimmed() : QString();
}

TPartnerRecord recordOf(const TCsvRow &row, const QList<TPartnerColumn> &columns)
{
    TPartnerRecord r;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString value = cell(row, i);
        switch (columns.at(i)) {
        case TPartnerColumn::Name: r.Name = value; break;
        case TPartnerColumn::Address: r.Address = value; break;
        case TPartnerColumn::City: r.City = value; break;
        case TPartnerColumn::Pib: r.Pib = value; break;
        case TPartnerColumn::Mb: r.Mb = value; break;
        case TPartnerColumn::Email: r.Email = value; break;
        case TPartnerColumn::Phone: r.Phone = value; break;
        case TPartnerColumn::Ignored: break;
        }
    }
    return r;
}

// Where a partner was met so far: a stored one (id) or a row of the file.
struct TSeen
{
    qint64 ID = 0;
    int Row = -1;
};

// The active partners by PIB and by folded name, read in one pass.
struct TKnownPartners
{
    QHash<QString, TSeen> ByPib;
    QHash<QString, TSeen> ByName;
    QHash<qint64, TPartnerRecord> Stored;

    explicit TKnownPartners(TZConnection &connection)
    {
        auto q = connection.OpenQuery(QStringLiteral(
            "SELECT partnerid, name, address, city, pib, mb, email, phone FROM partner WHERE active = 'y'"));
        while (q->next()) {
            TPartnerRecord r;
            r.ID = q->value(0).toLongLong();
            r.Name = q->value(1).toString();
            r.Address = q->value(2).toString();
            r.City = q->value(3).toString();
            r.Pib = q->value(4).toString();
            r.Mb = q->value(5).toString();
            r.Email = q->value(6).toString();
            r.Phone = q->value(7).toString();
            note(r, {r.ID, -1});
            Stored.insert(r.ID, r);
        }
    }

    void note(const TPartnerRecord &r, TSeen seen)
    {
        if (!r.Pib.trimmed().isEmpty())
            ByPib.insert(r.Pib.trimmed(), seen);
        ByName.insert(SerbianFold(r.Name.trimmed()), seen);
    }
};

TPartnerImportPlan plan(TKnownPartners &known, const TPartnerCsv &csv, const QList<TPartnerColumn> &columns)
{
    if (!columns.contains(TPartnerColumn::Name))
        throw KException(UiText(u"Nijedna kolona datoteke nije naziv partnera (npr. „Naziv“). Kolone su: %1")
                             .arg(csv.Header.join(QStringLiteral(", "))));
    TPartnerImportPlan result;
    for (const TCsvRow &row : csv.Rows) {
        TPartnerImportRow planned;
        planned.Line = row.Line;
        planned.Record = recordOf(row, columns);
        planned.Problem = PartnerProblem(planned.Record);
        if (planned.Problem.isEmpty()) {
            const QString pib = planned.Record.Pib.trimmed();
            const QString name = SerbianFold(planned.Record.Name.trimmed());
            TSeen seen;
            if (!pib.isEmpty() && known.ByPib.contains(pib)) {
                seen = known.ByPib.value(pib);
                planned.DuplicateReason = UiText(u"isti PIB");
            } else if (known.ByName.contains(name)) {
                seen = known.ByName.value(name);
                planned.DuplicateReason = UiText(u"isti naziv");
            }
            planned.DuplicateOf = seen.ID;
            planned.DuplicateOfRow = seen.Row;
            if (planned.DuplicateReason.isEmpty())
                known.note(planned.Record, {0, int(result.Rows.size())});
        }
        result.Rows << planned;
    }
    return result;
}

// The partner's empty fields filled from the row; true when any was.
bool fillEmpty(TPartnerRecord &partner, const TPartnerRecord &row)
{
    bool changed = false;
    for (QString TPartnerRecord::*field : {&TPartnerRecord::Address, &TPartnerRecord::City, &TPartnerRecord::Pib,
                                           &TPartnerRecord::Mb, &TPartnerRecord::Email, &TPartnerRecord::Phone}) {
        if ((partner.*field).trimmed().isEmpty() && !(row.*field).trimmed().isEmpty()) {
            partner.*field = (row.*field).trimmed();
            changed = true;
        }
    }
    return changed;
}

// New partners written many at a time: one statement for their rows and
// two for their history, where one row each would make a large list slow on
// a server over a network.
class TPartnerBatch
{
public:
    // ids[row] gets each new partner's id.
    TPartnerBatch(TZConnection &connection, TRegisterRecorder &history, const TRegisterActor &actor,
                  QList<qint64> &ids)
        : m_connection(connection), m_history(history), m_actor(actor), m_ids(ids)
    {
    }

    void Add(int row, const TPartnerRecord &record)
    {
        m_rows.push_back({row, record});
        if (m_rows.size() >= m_connection.Dialect().InsertBatchRows())
            Flush();
    }

    // Writes what was added.
    void Flush()
    {
        if (m_rows.isEmpty())
            return;
        QStringList tuples;
        QVariantList params;
        for (const auto &[row, record] : m_rows) {
            tuples << QStringLiteral("(?, ?, ?, ?, ?, ?, ?, 'y')");
            params << PartnerStoredParams(record);
        }
        const qint64 before = maxID(QStringLiteral("SELECT MAX(partnerid) FROM partner"));
        m_connection.ExecSQL(QStringLiteral("INSERT INTO partner (name, address, city, pib, mb, email, phone, "
                                            "active) VALUES %1")
                                 .arg(tuples.join(QStringLiteral(", "))),
                             params);
        // The new rows are those above the highest id before, known by their
        // names, which are unique within a batch. Another desk may have
        // added rows meanwhile: a name of ours among them is not guessed at.
        QHash<QString, qint64> idOf;
        for (const auto &[row, record] : m_rows)
            idOf.insert(record.Name.trimmed(), 0);
        auto q = m_connection.OpenQuery(QStringLiteral("SELECT partnerid, name FROM partner WHERE partnerid > ?"),
                                        {before});
        while (q->next()) {
            const QString name = q->value(1).toString();
            if (!idOf.contains(name))
                continue;
            if (idOf.value(name) != 0)
                throw EDatabaseError(UiText(u"Partnera „%1“ je istovremeno upisao i drugi korisnik; "
                                        u"uvoz nije sačuvan, pokušajte ponovo.").arg(name));
            idOf[name] = q->value(0).toLongLong();
        }
        QList<QPair<qint64, QList<TRegisterValue>>> entries;
        for (const auto &[row, record] : m_rows) {
            const qint64 id = idOf.value(record.Name.trimmed());
            if (id == 0)
                throw EDatabaseError(UiText(u"Baza nije vratila šifru novog partnera „%1“.").arg(record.Name));
            m_ids[row] = id;
            entries.push_back({id, ChangedValues({}, PartnerStoredTexts(record))});
        }
        m_history.RecordInserts(PartnerTable, entries, m_actor);
        m_rows.clear();
    }

private:
    qint64 maxID(const QString &sql)
    {
        auto q = m_connection.OpenQuery(sql);
        return q->next() ? q->value(0).toLongLong() : 0;
    }

    TZConnection &m_connection;
    TRegisterRecorder &m_history;
    const TRegisterActor &m_actor;
    QList<qint64> &m_ids;
    QList<std::pair<int, TPartnerRecord>> m_rows;
};

} // namespace

int TPartnerImportPlan::Refused() const
{
    return int(std::count_if(Rows.cbegin(), Rows.cend(), [](const TPartnerImportRow &r) { return !r.Problem.isEmpty(); }));
}

int TPartnerImportPlan::Duplicates() const
{
    return int(std::count_if(Rows.cbegin(), Rows.cend(),
                             [](const TPartnerImportRow &r) { return !r.DuplicateReason.isEmpty(); }));
}

TPartnerImportPlan PlanPartnerImport(TZConnection &connection, const TPartnerCsv &csv,
                                     const QList<TPartnerColumn> &columns)
{
    TKnownPartners known(connection);
    return plan(known, csv, columns);
}

TPartnerImportResult ImportPartners(TZConnection &connection, const TPartnerCsv &csv,
                                    const QList<TPartnerColumn> &columns, TDuplicateAction duplicates,
                                    const TRegisterActor &actor)
{
    TPartnerImportResult result;
    TZTransaction transaction(connection);
    // Every stored partner is read under the transaction: on SQLite it holds
    // the write lock already; on MariaDB a second import meanwhile at worst
    // adds a duplicate, which is only ever warned about.
    TKnownPartners known(connection);
    const TPartnerImportPlan planned = plan(known, csv, columns);
    auto update = connection.Prepare(QStringLiteral(
        "UPDATE partner SET address = ?, city = ?, pib = ?, mb = ?, email = ?, phone = ? WHERE partnerid = ?"));
    TRegisterRecorder history(connection);
    QList<qint64> addedIDs(planned.Rows.size(), 0);
    TPartnerBatch batch(connection, history, actor, addedIDs);
    for (qsizetype i = 0; i < planned.Rows.size(); ++i) {
        const TPartnerImportRow &row = planned.Rows.at(i);
        if (!row.Problem.isEmpty()) {
            ++result.Refused;
            continue;
        }
        if (row.DuplicateReason.isEmpty()) {
            batch.Add(int(i), row.Record);
            ++result.Added;
            continue;
        }
        if (duplicates == TDuplicateAction::Skip) {
            ++result.Skipped;
            continue;
        }
        // A merge into a row of the file needs that row's id.
        batch.Flush();
        const qint64 target = row.DuplicateOf ? row.DuplicateOf : addedIDs.value(row.DuplicateOfRow);
        if (!known.Stored.contains(target)) {
            TPartnerRecord added = planned.Rows.at(row.DuplicateOfRow).Record;
            added.ID = target;
            known.Stored.insert(target, added);
        }
        TPartnerRecord &partner = known.Stored[target];
        const QVariantMap before = PartnerStoredTexts(partner);
        if (fillEmpty(partner, row.Record)) {
            update.Exec(PartnerStoredParams(partner).mid(1) << target);
            history.Record(PartnerTable, target, TRegisterChangeKind::Update, actor,
                           ChangedValues(before, PartnerStoredTexts(partner)));
        }
        ++result.Merged;
    }
    batch.Flush();
    transaction.Commit();
    return result;
}

QString PartnerImportSummary(const TPartnerImportResult &result)
{
    return UiText(u"Dodato %1, spojeno %2, preskočeno %3, odbijeno %4.")
        .arg(result.Added)
        .arg(result.Merged)
        .arg(result.Skipped)
        .arg(result.Refused);
}
