#include "ClassificationStore.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianFold.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QSqlQuery>
#include <algorithm>

namespace {

const QString Table = QStringLiteral("classification");
constexpr int MarkLength = 30;  // classification.mark
constexpr int NameLength = 200; // classification.name

QString activeText(bool active)
{
    return active ? QStringLiteral("y") : QStringLiteral("n");
}

QVariant yearsValue(std::optional<int> years)
{
    return years ? QVariant(*years) : QVariant(QMetaType::fromType<int>());
}

QString duplicateText(const QString &mark)
{
    return UiText(u"Oznaka „%1“ već postoji u klasifikacionom planu.").arg(mark);
}

void checkMark(const QString &mark)
{
    if (mark.isEmpty())
        throw KException(UiText(u"Klasifikaciona oznaka mora biti upisana."));
    if (!std::all_of(mark.begin(), mark.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        throw KException(UiText(u"Klasifikaciona oznaka „%1“ nije ispravna: piše se samo ciframa, grupa "
                            u"jednom cifrom od 0 do 9, a svaka podgrupa dodaje još jednu (0, 01, 011).")
                             .arg(mark));
    if (mark.size() > MarkLength)
        throw KException(UiText(u"Klasifikaciona oznaka može imati najviše %1 cifara.").arg(MarkLength));
}

void checkName(const QString &name)
{
    if (name.isEmpty())
        throw KException(UiText(u"Naziv klasifikacione oznake mora biti upisan."));
    if (name.size() > NameLength)
        throw KException(UiText(u"Naziv klasifikacione oznake može imati najviše %1 znakova.").arg(NameLength));
}

QString badRetentionText(const QString &typed)
{
    return UiText(u"Rok čuvanja „%1“ nije ispravan: upisuje se broj godina od 1 do %2 ili „trajno“.")
        .arg(typed)
        .arg(TClassificationStore::MaxRetentionYears);
}

void checkRetention(std::optional<int> years)
{
    if (years && (*years < 1 || *years > TClassificationStore::MaxRetentionYears))
        throw KException(badRetentionText(QString::number(*years)));
}

} // namespace

TClassificationStore::TClassificationStore(TZConnection &connection, TRegisterActor actor)
    : m_connection(connection), m_actor(std::move(actor))
{
}

QList<TClassificationRecord> TClassificationStore::All() const
{
    QList<TClassificationRecord> plan;
    auto q = m_connection.OpenQuery(
        QStringLiteral("SELECT classificationid, mark, name, retentionyears, active FROM classification"));
    while (q->next()) {
        TClassificationRecord r{q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString(), {},
                                q->value(4).toString() == QLatin1String("y")};
        if (!q->value(3).isNull())
            r.RetentionYears = q->value(3).toInt();
        plan.push_back(r);
    }
    // The marks' text order is the plan's: "0", "01", "011", "02", "1".
    std::sort(plan.begin(), plan.end(), [](const auto &a, const auto &b) { return a.Mark < b.Mark; });
    return plan;
}

std::optional<int> TClassificationStore::ParseRetention(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        throw KException(UiText(u"Rok čuvanja mora biti upisan: broj godina ili „trajno“."));
    if (SerbianFold(text) == QLatin1String("trajno"))
        return std::nullopt;
    bool number = false;
    const int years = text.toInt(&number);
    if (!number || years < 1 || years > MaxRetentionYears)
        throw KException(badRetentionText(text));
    return years;
}

QString TClassificationStore::RetentionInput(std::optional<int> years)
{
    return years ? QString::number(*years) : UiText(u"trajno");
}

std::optional<TClassificationRecord> TClassificationStore::byMark(const QString &mark) const
{
    auto q = m_connection.OpenQuery(
        QStringLiteral("SELECT classificationid, name, active FROM classification WHERE mark = ?"), {mark});
    if (!q->next())
        return std::nullopt;
    return TClassificationRecord{q->value(0).toLongLong(), mark, q->value(1).toString(), {},
                                 q->value(2).toString() == QLatin1String("y")};
}

bool TClassificationStore::hasSubgroups(const QString &mark, bool activeOnly) const
{
    // Marks are digits only: the subgroups are the longer marks starting so.
    const QString sql = QStringLiteral("SELECT 1 FROM classification WHERE mark LIKE ? AND mark <> ?")
                        + (activeOnly ? QStringLiteral(" AND active = 'y'") : QString());
    return m_connection.OpenQuery(sql, {mark + u'%', mark})->next();
}

TClassificationRecord TClassificationStore::lockedRow(TZTransaction &transaction, qint64 id) const
{
    if (transaction.LockRow(Table, QStringLiteral("classificationid"), id)) {
        auto q = m_connection.OpenQuery(
            QStringLiteral("SELECT mark, name, retentionyears, active FROM classification WHERE classificationid = ?"), {id});
        if (q->next()) {
            TClassificationRecord r{id, q->value(0).toString(), q->value(1).toString(), {},
                                    q->value(3).toString() == QLatin1String("y")};
            if (!q->value(2).isNull())
                r.RetentionYears = q->value(2).toInt();
            return r;
        }
    }
    throw KException(UiText(u"Ta klasifikaciona oznaka više ne postoji u planu."));
}

qint64 TClassificationStore::Add(const QString &typedMark, const QString &typedName, std::optional<int> retentionYears)
{
    const QString mark = typedMark.trimmed();
    const QString name = typedName.trimmed();
    checkMark(mark);
    checkName(name);
    checkRetention(retentionYears);
    try {
        return RetryOnWriteConflict(m_connection, [&] {
            TZTransaction transaction(m_connection);
            if (mark.size() > 1) {
                // The group is held, so it cannot go or be deactivated meanwhile.
                const QString group = mark.chopped(1);
                const std::optional<TClassificationRecord> parent = byMark(group);
                if (!parent)
                    throw KException(UiText(u"U planu nema grupe „%1“: podgrupa „%2“ se upisuje tek posle nje.")
                                         .arg(group, mark));
                if (!lockedRow(transaction, parent->ClassificationID).Active)
                    throw KException(UiText(u"Grupa „%1“ nije aktivna: aktivirajte je pre nego što joj dodate podgrupu.")
                                         .arg(group));
            }
            if (const auto existing = byMark(mark))
                throw KException(UiText(u"Oznaka „%1“ već postoji u klasifikacionom planu (%2).").arg(mark, existing->Name));
            m_connection.ExecSQL(
                QStringLiteral("INSERT INTO classification (mark, name, retentionyears, active) VALUES (?, ?, ?, 'y')"),
                {mark, name, yearsValue(retentionYears)});
            const qint64 id = m_connection.LastInsertID();
            RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Insert, m_actor,
                                 {{QStringLiteral("mark"), {}, mark},
                                  {QStringLiteral("name"), {}, name},
                                  {QStringLiteral("retentionyears"), {}, yearsValue(retentionYears)},
                                  {QStringLiteral("active"), {}, activeText(true)}});
            transaction.Commit();
            return id;
        });
    } catch (const EDatabaseError &e) {
        // Another desk stored the same mark since this one looked.
        if (IsUniqueViolation(e))
            throw KException(duplicateText(mark));
        throw;
    }
}

void TClassificationStore::Update(qint64 id, const QString &typedName, std::optional<int> retentionYears)
{
    const QString name = typedName.trimmed();
    checkName(name);
    checkRetention(retentionYears);
    RetryOnWriteConflict(m_connection, [&] {
        TZTransaction transaction(m_connection);
        const TClassificationRecord before = lockedRow(transaction, id);
        if (before.Name == name && before.RetentionYears == retentionYears)
            return;
        m_connection.ExecSQL(QStringLiteral("UPDATE classification SET name = ?, retentionyears = ? WHERE classificationid = ?"),
                             {name, yearsValue(retentionYears), id});
        RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Update, m_actor,
                             ChangedValues({{QStringLiteral("name"), before.Name},
                                            {QStringLiteral("retentionyears"), yearsValue(before.RetentionYears)}},
                                           {{QStringLiteral("name"), name},
                                            {QStringLiteral("retentionyears"), yearsValue(retentionYears)}}));
        transaction.Commit();
    });
}

void TClassificationStore::SetActive(qint64 id, bool active)
{
    RetryOnWriteConflict(m_connection, [&] {
        TZTransaction transaction(m_connection);
        const TClassificationRecord before = lockedRow(transaction, id);
        if (before.Active == active)
            return;
        if (!active && hasSubgroups(before.Mark, true))
            throw KException(UiText(u"Grupa „%1“ ima aktivne podgrupe: deaktivirajte prvo njih.").arg(before.Mark));
        if (active && before.Mark.size() > 1) {
            const std::optional<TClassificationRecord> parent = byMark(before.Mark.chopped(1));
            if (parent && !parent->Active)
                throw KException(UiText(u"Grupa „%1“ nije aktivna: aktivirajte prvo nju.").arg(parent->Mark));
        }
        m_connection.ExecSQL(QStringLiteral("UPDATE classification SET active = ? WHERE classificationid = ?"),
                             {activeText(active), id});
        RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Update, m_actor,
                             {{QStringLiteral("active"), activeText(before.Active), activeText(active)}});
        transaction.Commit();
    });
}

void TClassificationStore::Delete(qint64 id)
{
    RetryOnWriteConflict(m_connection, [&] {
        TZTransaction transaction(m_connection);
        const TClassificationRecord before = lockedRow(transaction, id);
        auto used = m_connection.OpenQuery(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE classification = ?"),
                                           {before.Mark});
        const qint64 items = used->next() ? used->value(0).toLongLong() : 0;
        if (items > 0)
            throw KException(UiText(u"Oznaka „%1“ je upisana na stavkama delovodnika (%2): ne može se obrisati, "
                                u"samo deaktivirati.")
                                 .arg(before.Mark)
                                 .arg(items));
        if (hasSubgroups(before.Mark, false))
            throw KException(UiText(u"Oznaka „%1“ ima podgrupe: ne može se obrisati, samo deaktivirati.").arg(before.Mark));
        m_connection.ExecSQL(QStringLiteral("DELETE FROM classification WHERE classificationid = ?"), {id});
        RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Delete, m_actor,
                             {{QStringLiteral("mark"), before.Mark, {}},
                              {QStringLiteral("name"), before.Name, {}},
                              {QStringLiteral("retentionyears"), yearsValue(before.RetentionYears), {}},
                              {QStringLiteral("active"), activeText(before.Active), {}}});
        transaction.Commit();
    });
}
