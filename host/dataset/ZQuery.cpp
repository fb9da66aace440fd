#include "ZQuery.h"

#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "RowStream.h"
#include "SqlText.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <charconv>
#include <optional>


TZQuery::TZQuery(QObject *parent) : TDataSet(parent) {}

void TZQuery::SetSQL(const QString &sql, const QVariantList &params)
{
    if (Active())
        Close();
    m_sql = sql;
    m_params = params;
}

TZConnection &TZQuery::connection() const
{
    if (!m_connection || !m_connection->Connected())
        throw EDatabaseError(UiText(u"Veza sa bazom podataka nije otvorena."));
    return *m_connection;
}

QString TZQuery::WriteTable() const
{
    return UpdateTable.isEmpty() ? FirstTableOf(m_sql) : UpdateTable;
}

// Copies the streamed rows into a store of its own, on the read's worker
// thread: it knows the fields only as they were when the read began.
class TZQuery::Loader : public TRowReceiver
{
public:
    struct Field
    {
        QString name;
        TFieldType type;
        int size;
    };
    explicit Loader(std::vector<Field> persistent) : fields(std::move(persistent)), m_persistent(!fields.empty()) {}

    void Columns(const QStringList &names, const std::vector<TFieldType> &types) override
    {
        if (!m_persistent) {
            fields.clear();
            for (int i = 0; i < names.size(); ++i)
                if (std::none_of(fields.begin(), fields.end(), [&](const Field &f) {
                        return f.name.compare(names[i], Qt::CaseInsensitive) == 0;
                    }))
                    fields.push_back({names[i], types[size_t(i)], 0});
        }
        std::vector<TFieldType> storeTypes;
        source.assign(fields.size(), -1);
        ops.clear();
        for (size_t i = 0; i < fields.size(); ++i) {
            storeTypes.push_back(fields[i].type);
            ops.push_back(&TypeOps(fields[i].type));
            for (int c = 0; c < names.size(); ++c) {
                if (names[c].compare(fields[i].name, Qt::CaseInsensitive) == 0) {
                    source[i] = c;
                    break;
                }
            }
            if (source[i] < 0)
                throw EDatabaseError(UiText(u"Polje '%1' nije pronađeno u rezultatu upita.").arg(fields[i].name));
        }
        rows.Store.Reset(storeTypes);
        rows.Order.clear();
        rows.Unreadable.clear();
    }

    void Row(const char *const *values, const size_t *lengths) override
    {
        const uint32_t row = addRow();
        for (int i = 0; i < int(source.size()); ++i) {
            const int c = source[size_t(i)];
            if (values[c])
                text(row, i, values[c], lengths[c]);
        }
    }

    void RawRow(const TRawRow &raw) override
    {
        const uint32_t row = addRow();
        for (int i = 0; i < int(source.size()); ++i) {
            const int c = source[size_t(i)];
            if (!raw.IsInteger[c]) {
                if (raw.Texts[c])
                    text(row, i, raw.Texts[c], raw.Lengths[c]);
                continue;
            }
            const TTypeOps &type = *ops[size_t(i)];
            qint64 stored = raw.Integers[c];
            // A text column spells it; a whole number out of its type's range
            // goes the text's way, where it is refused.
            if (type.storage == TStorage::Text
                || (type.readInteger && type.readInteger(raw.Integers[c], stored) == TRawRead::Stored)) {
                rows.Store.SetInt(row, i, stored);
                continue;
            }
            char digits[20];
            text(row, i, digits, size_t(std::to_chars(digits, digits + sizeof digits, raw.Integers[c]).ptr - digits));
        }
    }

    void End() override
    {
        rows.Store.Squeeze();
        rows.Order.shrink_to_fit();
    }

    std::vector<Field> fields;
    TDataSet::TLoadedRows rows;
    QStringList firstUnreadable; // column and text of the first value that could not be read

private:
    uint32_t addRow()
    {
        const uint32_t row = rows.Store.AddRow();
        rows.Order.push_back(row);
        return row;
    }

    // A value the database handed over as text.
    void text(uint32_t row, int i, const char *p, size_t len)
    {
        TRowStore &store = rows.Store;
        const TTypeOps &type = *ops[size_t(i)];
        if (type.storage == TStorage::Text) {
            store.SetText(row, i, p, len);
            return;
        }
        if (type.readRaw) {
            qint64 stored;
            const TRawRead read = type.readRaw(p, len, stored);
            if (read == TRawRead::Stored)
                store.SetInt(row, i, stored);
            if (read != TRawRead::Convert)
                return;
        }
        // Anything else the way a typed-in text would be read. A value
        // written by another tool that cannot be read costs its cell, not
        // the list.
        const QString text = QString::fromUtf8(p, qsizetype(len));
        TConverted converted = type.convert(text, fields[size_t(i)].size);
        if (converted.result == TConvertResult::Ok) {
            store.Set(row, i, converted.value);
            return;
        }
        rows.Unreadable[TDataSet::UnreadableKey(row, i)] = text;
        if (firstUnreadable.isEmpty())
            firstUnreadable = {fields[size_t(i)].name, text};
    }

    const bool m_persistent;
    std::vector<int> source;
    std::vector<const TTypeOps *> ops; // per field, looked up once
};

void TZQuery::InternalOpen()
{
    TZConnection &conn = connection();
    // The catalogue is read first: the connection is busy while rows stream.
    const std::vector<TColumnInfo> cols = RequestLive ? conn.TableColumns(WriteTable()) : std::vector<TColumnInfo>();
    std::vector<Loader::Field> persistent;
    for (const auto &f : FieldList())
        persistent.push_back({f->FieldName(), f->DataType(), f->Size()});
    Loader loader(std::move(persistent));
    const QString ordered = OrderedSelect(m_sql, selectOrder(cols));
    m_openedSql = ordered.isEmpty() ? m_sql : ordered;
    StreamQuery(conn, m_openedSql, m_params, loader);

    // Back on this thread: the fields and the rows are handed over in one step.
    if (FieldList().empty())
        for (const Loader::Field &f : loader.fields)
            AddField(f.name, f.type);
    for (int i = 0; i < FieldCount(); ++i) {
        TField &f = Fields(i);
        const bool own = std::any_of(cols.begin(), cols.end(), [&](const TColumnInfo &c) {
            return !c.Generated && c.Name.compare(f.FieldName(), Qt::CaseInsensitive) == 0;
        });
        BindFieldColumn(f, i, RequestLive && !own);
    }
    AdoptRows(std::move(loader.rows));
    if (!loader.firstUnreadable.isEmpty())
        LogError(QStringLiteral("Nečitljiva vrednost u listi (prva od mogućih više): kolona '%1'").arg(loader.firstUnreadable[0]),
                 QStringLiteral("'%1' nije ispravna vrednost za polje '%2'.").arg(loader.firstUnreadable[1], loader.firstUnreadable[0]));

    m_keyField = nullptr;
    m_keyFields.clear();
    if (RequestLive) {
        // Rows are found by every column of the key (settings has two).
        for (const TColumnInfo &c : cols) {
            if (!c.PrimaryKey)
                continue;
            TField *f = FindField(c.Name);
            if (!f) {
                m_keyFields.clear();
                break;
            }
            m_keyFields.push_back(f);
        }
        if (m_keyFields.empty())
            throw EDatabaseError(UiText(u"Tabela '%1' nema ključ u upitu.").arg(WriteTable()));
        if (m_keyFields.size() == 1)
            m_keyField = m_keyFields.front();
    }
}

std::vector<TSortTerm> TZQuery::selectOrder(const std::vector<TColumnInfo> &cols) const
{
    TZConnection &conn = connection();
    // The ORDER BY names the first table; cols are the written table's.
    if (!conn.SortsInSelect() || WriteTable().compare(FirstTableOf(m_sql), Qt::CaseInsensitive) != 0)
        return {};
    // A whole table reads fastest front to back; the list's sort then costs a
    // sort in memory, far less than fetching every row through the index of
    // that sort, or through whichever index the planner picks for no order.
    if (!HasCondition(m_sql) && conn.KeyIsStorageOrder(cols))
        for (const TColumnInfo &c : cols)
            if (c.PrimaryKey)
                return {{c.Name, false}};
    const auto column = [&](const QString &name) {
        return std::find_if(cols.begin(), cols.end(), [&](const TColumnInfo &c) {
            return !c.Generated && c.Name.compare(name, Qt::CaseInsensitive) == 0;
        });
    };
    std::vector<TSortTerm> terms;
    std::vector<const TColumnInfo *> named;
    for (const QString &part : SortedFields().split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(u' ');
        const TField *field = FindField(words.first());
        if (!field)
            return {}; // the memory sort says which name is wrong
        switch (field->DataType()) {
        case TFieldType::Largeint: case TFieldType::Integer: case TFieldType::Smallint:
        case TFieldType::Date: case TFieldType::DateTime:
            break;
        default:
            return {};
        }
        const auto c = column(field->FieldName());
        if (c == cols.end())
            return {};
        named.push_back(&*c);
        const bool desc = words.size() > 1 && words.at(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
        terms.push_back({c->Name, desc});
    }
    bool hasKey = false;
    for (const TColumnInfo &c : cols) {
        if (!c.PrimaryKey)
            continue;
        hasKey = true;
        if (std::find(named.begin(), named.end(), &c) == named.end())
            return {};
    }
    return hasKey ? terms : std::vector<TSortTerm>();
}

namespace {
// A transaction for a write that needs one, unless the caller holds one
// already: MariaDB would commit it on a second START TRANSACTION.
void beginWrite(std::optional<TZTransaction> &transaction, TZConnection &connection, bool needed)
{
    if (needed && !connection.InTransaction())
        transaction.emplace(connection);
}
} // namespace

void TZQuery::checkLive() const
{
    if (!RequestLive)
        throw EDatabaseError(UiText(u"Upit je samo za čitanje."));
}

QVariant TZQuery::InternalPost(bool inserting, const std::vector<TField *> &changed)
{
    checkLive();
    return RetryOnWriteConflict(connection(), [&] { return post(inserting, changed); });
}

QVariant TZQuery::post(bool inserting, const std::vector<TField *> &changed)
{
    TZConnection &conn = connection();
    const QString table = QuoteIdent(WriteTable());
    if (inserting) {
        QStringList cols, marks;
        QVariantList params;
        for (TField *f : changed) {
            cols << QuoteIdent(f->FieldName());
            marks << QStringLiteral("?");
            params << f->Value();
        }
        const QString sql = cols.isEmpty()
            ? conn.Dialect().InsertDefaultsSql(table)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        std::optional<TZTransaction> transaction;
        beginWrite(transaction, conn, bool(OnJournal));
        m_rowsAffected = conn.ExecSQL(sql, params);
        const QVariant key = QVariant::fromValue(conn.LastInsertID());
        if (OnJournal)
            OnJournal(conn, TWriteKind::Insert, key, changed);
        if (transaction)
            transaction->Commit();
        return key;
    }
    if (changed.empty() && UpdateMode == TUpdateMode::umUpdateChanged) {
        m_rowsAffected = 0;
        return {};
    }
    const QString gone = UiText(u"Stavka nije sačuvana: u međuvremenu je izbrisana ili izmenjena na drugom mestu.");
    const bool journal = OnJournal && m_keyField;
    std::optional<TZTransaction> transaction;
    beginWrite(transaction, conn, journal);
    if (journal) {
        const QVariant key = OldValue(*m_keyField);
        if (transaction && !transaction->LockRow(WriteTable(), m_keyField->FieldName(), key))
            throw EDatabaseError(gone);
        OnJournal(conn, TWriteKind::Update, key, changed);
    }
    QStringList sets;
    QVariantList params;
    const std::vector<TField *> *fields = &changed;
    std::vector<TField *> all;
    if (UpdateMode == TUpdateMode::umUpdateAll) {
        const auto contains = [](const std::vector<TField *> &v, TField *f) { return std::find(v.begin(), v.end(), f) != v.end(); };
        for (int i = 0; i < FieldCount(); ++i)
            if (!Fields(i).IsDisplayOnly() && (!contains(m_keyFields, &Fields(i)) || contains(changed, &Fields(i))))
                all.push_back(&Fields(i));
        fields = &all;
    }
    for (TField *f : *fields) {
        sets << QuoteIdent(f->FieldName()) + QStringLiteral(" = ?");
        params << f->Value();
    }
    QString where = keyCondition(params);
    if (WhereMode == TWhereMode::wmWhereAll) {
        for (TField *f : changed) {
            const QVariant old = OldValue(*f);
            if (old.isNull()) {
                where += QStringLiteral(" AND %1 IS NULL").arg(QuoteIdent(f->FieldName()));
            } else {
                where += QStringLiteral(" AND %1 = ?").arg(QuoteIdent(f->FieldName()));
                params << old;
            }
        }
    }
    m_rowsAffected = conn.ExecSQL(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(table, sets.join(QStringLiteral(", ")), where), params);
    if (m_rowsAffected == 0)
        throw EDatabaseError(gone);
    if (transaction)
        transaction->Commit();
    return {};
}

QString TZQuery::keyCondition(QVariantList &params) const
{
    QStringList parts;
    for (TField *k : m_keyFields) {
        parts << QuoteIdent(k->FieldName()) + QStringLiteral(" = ?");
        params << OldValue(*k);
    }
    return parts.join(QStringLiteral(" AND "));
}

void TZQuery::InternalDelete()
{
    checkLive();
    RetryOnWriteConflict(connection(), [&] { remove(); });
}

void TZQuery::remove()
{
    TZConnection &conn = connection();
    QVariantList params;
    const QString where = keyCondition(params);
    const QString gone = UiText(u"Stavka nije izbrisana: u međuvremenu je izbrisana na drugom mestu.");
    const bool held = (OnDeleteCheck || OnJournal) && m_keyField;
    std::optional<TZTransaction> transaction;
    beginWrite(transaction, conn, held);
    if (held) {
        const QVariant key = OldValue(*m_keyField);
        if (transaction && !transaction->LockRow(WriteTable(), m_keyField->FieldName(), key))
            throw EStaleRow(gone);
        if (OnDeleteCheck)
            OnDeleteCheck(conn, key);
        if (OnJournal)
            OnJournal(conn, TWriteKind::Delete, key, {});
    }
    m_rowsAffected = conn.ExecSQL(QStringLiteral("DELETE FROM %1 WHERE %2").arg(QuoteIdent(WriteTable()), where), params);
    if (m_rowsAffected == 0)
        throw EStaleRow(gone);
    if (transaction)
        transaction->Commit();
}

bool TZQuery::RefreshRow(const QString &sql, const QVariantList &params, bool addIfMissing)
{
    if (!Active() || State() != TDataSetState::Browse)
        return false;
    // The same fields, so the values convert as the query's own do.
    TZReadOnlyQuery row(m_connection, sql, params);
    for (int i = 0; i < FieldCount(); ++i)
        row.AddField(Fields(i).FieldName(), Fields(i).DataType(), Fields(i).Size());
    row.Open();
    if (row.IsEmpty())
        return false;
    std::vector<QVariant> values;
    values.reserve(size_t(FieldCount()));
    for (int i = 0; i < FieldCount(); ++i)
        values.push_back(row.Fields(i).Value());
    return PlaceRow(values, addIfMissing);
}

void TZQuery::InternalInitRecord()
{
    if (!CalcDefaults || !RequestLive)
        return;
    const auto &cols = connection().TableColumns(WriteTable());
    for (int i = 0; i < FieldCount(); ++i) {
        TField &f = Fields(i);
        if (f.IsDisplayOnly())
            continue;
        for (const TColumnInfo &c : cols) {
            if (!c.HasDefault || c.Name.compare(f.FieldName(), Qt::CaseInsensitive) != 0)
                continue;
            try {
                SetBufferValue(f, f.Convert(c.DefaultText));
            } catch (const EDatabaseError &) {
                // An expression default (a function call): the database fills it.
            }
        }
    }
}

TZReadOnlyQuery::TZReadOnlyQuery(TZConnection *connection, const QString &sql, const QVariantList &params,
                                 QObject *parent)
    : TZQuery(parent)
{
    SetConnection(connection);
    SetSQL(sql, params);
}
