#include "CustomDM.h"

#include "DataSet.h"
#include "Field.h"
#include "Dialogs.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "SqlText.h"
#include "ZConnection.h"
#include "ZQuery.h"

#include <QSqlQuery>
#include <QSqlRecord>

TCustomDM::TCustomDM(QObject *owner) : QObject(owner) {}

TCustomDM::~TCustomDM() = default;

void TCustomDM::DataModuleCreate()
{
    CreateFieldValidations();
    CreateRelations();
}

void TCustomDM::SetZConnection(TZConnection *connection)
{
    m_connection = connection;
    for (TZQuery *q : findChildren<TZQuery *>())
        q->SetConnection(connection);
}

TZConnection &TCustomDM::Connection() const
{
    if (!m_connection)
        throw EDatabaseError(UiText(u"Modul nema vezu sa bazom podataka."));
    return *m_connection;
}

void TCustomDM::CommonBeforePost(TDataSet &)
{
    if (FValidator)
        FValidator->Validate();
}

void TCustomDM::CommonBeforeDelete(TDataSet &)
{
    if (MessageDlg(UiText(u"Da li ste sigurni da želite da izbrišete izabranu stavku?"),
                   TMsgDlgType::Confirmation, mbYes | mbNo) != mbYes)
        throw EAbort();
}

void TCustomDM::ConfirmDelete(const QString &question)
{
    if (MessageDlg(question, TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo) != mbYes)
        throw EAbort();
}

namespace {

bool isNumericColumn(const TColumnInfo &c)
{
    return c.TypeName.contains(QLatin1String("int")) || c.TypeName == QLatin1String("decimal")
        || c.TypeName == QLatin1String("double") || c.TypeName == QLatin1String("float")
        || c.TypeName == QLatin1String("real") || c.TypeName == QLatin1String("numeric");
}

// The assigned text as the column takes it: through the module's own field
// of that column when it has one (flags, dates), else as a number or text.
QVariant assignedValue(const TColumnInfo &c, const TField *field, const QString &text)
{
    if (text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return {};
    if (field)
        return field->Convert(text);
    if (isNumericColumn(c)) {
        bool ok = false;
        const qint64 v = text.trimmed().toLongLong(&ok);
        if (!ok)
            throw EDatabaseError(UiText(u"'%1' nije ispravna vrednost za kolonu '%2'.").arg(text, c.Name));
        return QVariant::fromValue(v);
    }
    return text;
}

} // namespace

int TCustomDM::CopyDataSet(const QString &table, const QString &condition, const QStringList &assignments,
                           const QString &, const QVariantList &conditionParams)
{
    TZConnection &conn = Connection();
    const auto &cols = conn.TableColumns(table);
    QHash<QString, QString> assigned;
    for (const QString &a : assignments) {
        const qsizetype eq = a.indexOf(u'=');
        if (eq <= 0)
            throw EDatabaseError(UiText(u"Neispravna dodela vrednosti: '%1'.").arg(a));
        const QString name = a.left(eq).trimmed().toLower();
        const bool known = std::any_of(cols.begin(), cols.end(), [&](const TColumnInfo &c) {
            return c.Name.toLower() == name;
        });
        if (!known)
            throw EDatabaseError(UiText(u"Kolona '%1' ne postoji u tabeli '%2'.").arg(a.left(eq), table));
        assigned.insert(name, a.mid(eq + 1));
    }
    std::vector<const TColumnInfo *> copied;
    QStringList names, marks;
    for (const TColumnInfo &c : cols) {
        if (c.Generated || c.AutoIncrement)
            continue;
        copied.push_back(&c);
        names << QuoteIdent(c.Name);
        marks << QStringLiteral("?");
    }
    QString select = QStringLiteral("SELECT * FROM %1").arg(QuoteIdent(table));
    if (!condition.trimmed().isEmpty())
        select += QStringLiteral(" WHERE ") + condition;
    // Read all first: the inserts must not see their own rows.
    std::vector<QVariantList> rows;
    {
        auto q = conn.OpenQuery(select, conditionParams);
        const QSqlRecord rec = q->record();
        while (q->next()) {
            QVariantList values;
            for (const TColumnInfo *c : copied) {
                const auto it = assigned.constFind(c->Name.toLower());
                values << (it != assigned.constEnd() ? assignedValue(*c, tableField(table, c->Name), *it)
                                                     : q->value(rec.indexOf(c->Name)));
            }
            rows.push_back(std::move(values));
        }
    }
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(QuoteIdent(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    for (const QVariantList &values : rows)
        conn.ExecSQL(insert, values);
    return int(rows.size());
}

const TField *TCustomDM::tableField(const QString &table, const QString &column) const
{
    for (const TZQuery *q : findChildren<TZQuery *>())
        if (q->WriteTable().compare(table, Qt::CaseInsensitive) == 0)
            if (const TField *f = q->FindField(column); f && !f->IsDisplayOnly())
                return f;
    return nullptr;
}

qint64 TCustomDM::GetLastInsertID()
{
    return Connection().LastInsertID();
}

void TCustomDM::GetFieldValues(const QString &column, const QString &table, QStringList &list, bool distinct,
                               const QString &where, const QString &orderBy)
{
    QString sql = QStringLiteral("SELECT %1%2 FROM %3 WHERE %2 IS NOT NULL")
                      .arg(distinct ? QStringLiteral("DISTINCT ") : QString(), QuoteIdent(column), QuoteIdent(table));
    if (!where.trimmed().isEmpty())
        sql += QStringLiteral(" AND (") + where + u')';
    sql += QStringLiteral(" ORDER BY ") + (orderBy.trimmed().isEmpty() ? Connection().TextOrder(QuoteIdent(column)) : orderBy);
    auto q = Connection().OpenQuery(sql);
    list.clear();
    while (q->next()) {
        const QString v = q->value(0).toString();
        if (!v.isEmpty())
            list << v;
    }
}

bool TestDate(TField &field)
{
    const QDateTime dt = field.AsDateTime();
    return dt.isValid() && dt.date().year() >= 1900 && dt.date().year() <= 9999;
}

bool TestZeroLength(TField &field)
{
    return !field.AsString().trimmed().isEmpty();
}

bool TestUnique(TField &field, const QString &table, const QString &column, const QString &keyColumn,
                const QString &condition, int, const QVariantList &conditionParams)
{
    auto *query = qobject_cast<TZQuery *>(&field.DataSet());
    if (!query || !query->Connection())
        throw EDatabaseError(UiText(u"Provera jedinstvenosti nema vezu sa bazom podataka."));
    QString sql = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(QuoteIdent(table), QuoteIdent(column));
    QVariantList params{field.Value()};
    if (TField *key = field.DataSet().FindField(keyColumn); key && !key->IsNull()) {
        sql += QStringLiteral(" AND %1 <> ?").arg(QuoteIdent(keyColumn));
        params << key->Value();
    }
    if (!condition.trimmed().isEmpty()) {
        sql += QStringLiteral(" AND (") + condition + u')';
        params << conditionParams;
    }
    auto q = query->Connection()->OpenQuery(sql, params);
    return q->next() && q->value(0).toLongLong() == 0;
}
