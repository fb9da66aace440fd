#include "PartnerImport.h"

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
                planned.DuplicateReason = QStringLiteral("isti PIB");
            } else if (known.ByName.contains(name)) {
                seen = known.ByName.value(name);
                planned.DuplicateReason = QStringLiteral("isti naziv");
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
    auto insert = connection.Prepare(QStringLiteral(
        "INSERT INTO partner (name, address, city, pib, mb, email, phone, active) VALUES (?, ?, ?, ?, ?, ?, ?, 'y')"));
    auto update = connection.Prepare(QStringLiteral(
        "UPDATE partner SET address = ?, city = ?, pib = ?, mb = ?, email = ?, phone = ? WHERE partnerid = ?"));
    TRegisterRecorder history(connection);
    QList<qint64> addedIDs(planned.Rows.size(), 0);
    for (qsizetype i = 0; i < planned.Rows.size(); ++i) {
        const TPartnerImportRow &row = planned.Rows.at(i);
        if (!row.Problem.isEmpty()) {
            ++result.Refused;
            continue;
        }
        if (!row.DuplicateReason.isEmpty()) {
            const qint64 target = row.DuplicateOf ? row.DuplicateOf : addedIDs.value(row.DuplicateOfRow);
            if (duplicates == TDuplicateAction::Skip || target == 0) {
                ++result.Skipped;
                continue;
            }
            TPartnerRecord &partner = known.Stored[target];
            const QVariantMap before = PartnerStoredTexts(partner);
            if (fillEmpty(partner, row.Record)) {
                const QVariantMap after = PartnerStoredTexts(partner);
                const QVariantList texts = PartnerStoredParams(partner);
                update.Exec(texts.mid(1) << target);
                history.Record(PartnerTable, target, TRegisterChangeKind::Update, actor, ChangedValues(before, after));
            }
            ++result.Merged;
            continue;
        }
        insert.Exec(PartnerStoredParams(row.Record));
        const qint64 id = insert.InsertedID();
        addedIDs[i] = id;
        TPartnerRecord stored = row.Record;
        stored.ID = id;
        known.Stored.insert(id, stored);
        history.Record(PartnerTable, id, TRegisterChangeKind::Insert, actor,
                       ChangedValues({}, PartnerStoredTexts(row.Record)));
        ++result.Added;
    }
    transaction.Commit();
    return result;
}

QString PartnerImportSummary(const TPartnerImportResult &result)
{
    return QStringLiteral("Dodato %1, spojeno %2, preskočeno %3, odbijeno %4.")
        .arg(result.Added)
        .arg(result.Merged)
        .arg(result.Skipped)
        .arg(result.Refused);
}
