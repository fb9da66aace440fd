#include "ZQuery.h"

#include "KException.h"
#include "SqlText.h"
#include "ZConnection.h"

#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace {

TFieldType typeOfColumn(const QSqlField &f, TBackend backend)
{
    switch (f.metaType().id()) {
    case QMetaType::LongLong: case QMetaType::ULongLong: case QMetaType::UInt: return TFieldType::Largeint;
    case QMetaType::Int:
        // SQLite's integers are 64-bit whatever the column says.
        return backend == TBackend::SQLite ? TFieldType::Largeint : TFieldType::Integer;
    case QMetaType::Short: case QMetaType::UShort: return TFieldType::Integer;
    case QMetaType::Double: case QMetaType::Float: return TFieldType::Float;
    case QMetaType::QDateTime: return TFieldType::DateTime;
    case QMetaType::QDate: return TFieldType::Date;
    case QMetaType::Bool: return TFieldType::Boolean;
    default: return TFieldType::String;
    }
}

// 'yyyy-MM-dd hh:mm:ss' (or just the date) read without QDateTime's parser.
bool parseSqlDateTime(const QString &t, qint64 &packed)
{
    if (t.size() < 10 || t[4] != u'-' || t[7] != u'-')
        return false;
    auto num = [&](int from, int len) {
        int v = 0;
        for (int i = from; i < from + len; ++i) {
            const int d = t[i].unicode() - '0';
            if (d < 0 || d > 9)
                return -1;
            v = v * 10 + d;
        }
        return v;
    };
    const int y = num(0, 4), mo = num(5, 2), d = num(8, 2);
    int h = 0, mi = 0, s = 0;
    if (t.size() >= 19) {
        h = num(11, 2);
        mi = num(14, 2);
        s = num(17, 2);
    }
    const QDate date(y, mo, d);
    if (!date.isValid() || h < 0 || mi < 0 || s < 0)
        return false;
    packed = date.toJulianDay() * 86400 + h * 3600 + mi * 60 + s;
    return true;
}

} // namespace

TZQuery::TZQuery(QObject *parent) : TDataSet(parent) {}

void TZQuery::SetSQL(const QString &sql)
{
    if (Active())
        Close();
    m_sql = sql;
}

TZConnection &TZQuery::connection() const
{
    if (!m_connection || !m_connection->Connected())
        throw EDatabaseError(QStringLiteral("Veza sa bazom podataka nije otvorena."));
    return *m_connection;
}

QString TZQuery::updateTable() const
{
    return UpdateTable.isEmpty() ? FirstTableOf(m_sql) : UpdateTable;
}

void TZQuery::InternalOpen()
{
    TZConnection &conn = connection();
    std::unique_ptr<QSqlQuery> q = conn.OpenQuery(m_sql);
    const QSqlRecord rec = q->record();
    if (FieldList().empty()) {
        for (int i = 0; i < rec.count(); ++i)
            if (!FindField(rec.fieldName(i)))
                AddField(rec.fieldName(i), typeOfColumn(rec.field(i), conn.Backend()));
    }
    ResetStore();

    // Which fields are the update table's own columns.
    std::vector<const TColumnInfo *> tableColumn(static_cast<size_t>(FieldCount()), nullptr);
    m_keyField = nullptr;
    m_keyFields.clear();
    if (RequestLive) {
        const QString table = updateTable();
        const auto &cols = conn.TableColumns(table);
        for (int i = 0; i < FieldCount(); ++i)
            for (const TColumnInfo &c : cols)
                if (!c.Generated && c.Name.compare(Fields(i).FieldName(), Qt::CaseInsensitive) == 0)
                    tableColumn[size_t(i)] = &c;
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
            throw EDatabaseError(QStringLiteral("Tabela '%1' nema ključ u upitu.").arg(table));
        if (m_keyFields.size() == 1)
            m_keyField = m_keyFields.front();
    }

    std::vector<int> source(static_cast<size_t>(FieldCount()));
    for (int i = 0; i < FieldCount(); ++i) {
        TField &f = Fields(i);
        source[size_t(i)] = rec.indexOf(f.FieldName());
        if (source[size_t(i)] < 0)
            throw EDatabaseError(QStringLiteral("Polje '%1' nije pronađeno u rezultatu upita.").arg(f.FieldName()));
        BindFieldColumn(f, i, RequestLive && !tableColumn[size_t(i)]);
    }

    TRowStore &store = Store();
    std::vector<uint32_t> &order = Order();
    const int n = FieldCount();
    while (q->next()) {
        const uint32_t row = store.AddRow();
        order.push_back(row);
        for (int i = 0; i < n; ++i) {
            const QVariant v = q->value(source[size_t(i)]);
            if (v.isNull())
                continue;
            TField &f = Fields(i);
            switch (f.DataType()) {
            case TFieldType::String: {
                const QByteArray utf8 = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
                store.SetText(row, i, utf8.constData(), size_t(utf8.size()));
                break;
            }
            case TFieldType::Largeint: case TFieldType::Integer: case TFieldType::Smallint:
                store.SetInt(row, i, v.toLongLong());
                break;
            case TFieldType::DateTime: {
                qint64 packed;
                if (v.typeId() == QMetaType::QDateTime)
                    store.SetInt(row, i, TRowStore::PackDateTime(v.toDateTime()));
                else if (parseSqlDateTime(v.toString(), packed))
                    store.SetInt(row, i, packed);
                break;
            }
            default:
                store.Set(row, i, f.Convert(v));
                break;
            }
        }
    }
    q->finish();
}

void TZQuery::checkLive() const
{
    if (!RequestLive)
        throw EDatabaseError(QStringLiteral("Upit je samo za čitanje."));
}

QVariant TZQuery::InternalPost(bool inserting, const std::vector<TField *> &changed)
{
    checkLive();
    TZConnection &conn = connection();
    const QString table = QuoteIdent(updateTable());
    if (inserting) {
        QStringList cols, marks;
        QVariantList params;
        for (TField *f : changed) {
            cols << QuoteIdent(f->FieldName());
            marks << QStringLiteral("?");
            params << f->Value();
        }
        const QString sql = cols.isEmpty()
            ? (conn.Backend() == TBackend::MySQL ? QStringLiteral("INSERT INTO %1 () VALUES ()").arg(table)
                                                 : QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        m_rowsAffected = conn.ExecSQL(sql, params);
        return QVariant::fromValue(conn.LastInsertID());
    }
    if (changed.empty() && UpdateMode == TUpdateMode::umUpdateChanged) {
        m_rowsAffected = 0;
        return {};
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
        throw EDatabaseError(QStringLiteral("Stavka nije sačuvana: u međuvremenu je izbrisana ili izmenjena na drugom mestu."));
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
    TZConnection &conn = connection();
    QVariantList params;
    const QString where = keyCondition(params);
    m_rowsAffected = conn.ExecSQL(QStringLiteral("DELETE FROM %1 WHERE %2").arg(QuoteIdent(updateTable()), where), params);
    if (m_rowsAffected == 0)
        throw EDatabaseError(QStringLiteral("Stavka nije izbrisana: u međuvremenu je izbrisana na drugom mestu."));
}

void TZQuery::InternalInitRecord()
{
    if (!CalcDefaults || !RequestLive)
        return;
    const auto &cols = connection().TableColumns(updateTable());
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

TZReadOnlyQuery::TZReadOnlyQuery(TZConnection *connection, const QString &sql, QObject *parent)
    : TZQuery(parent)
{
    SetConnection(connection);
    SetSQL(sql);
}
