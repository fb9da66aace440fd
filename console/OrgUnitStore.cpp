#include "OrgUnitStore.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianDisplayOrder.h"
#include "SerbianFold.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QSqlQuery>

namespace {

const QString Table = QStringLiteral("orgunit");
constexpr int CodeLength = 20;  // orgunit.code
constexpr int NameLength = 100; // orgunit.name

QString activeText(bool active)
{
    return active ? QStringLiteral("y") : QStringLiteral("n");
}

QVariant codeValue(const QString &code)
{
    return code.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(code);
}

QString duplicateText(const QString &name)
{
    return UiText(u"Organizaciona jedinica „%1“ već postoji.").arg(name);
}

} // namespace

TOrgUnitStore::TOrgUnitStore(TZConnection &connection, TRegisterActor actor)
    : m_connection(connection), m_actor(std::move(actor))
{
}

QList<TOrgUnitRecord> TOrgUnitStore::All() const
{
    QList<TOrgUnitRecord> units;
    auto q = m_connection.OpenQuery(QStringLiteral("SELECT orgunitid, code, name, active FROM orgunit ORDER BY %1, orgunitid")
                                        .arg(m_connection.TextOrder(QStringLiteral("name"))));
    while (q->next())
        units.push_back({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString(),
                         q->value(3).toString() == QLatin1String("y")});
    SortForDisplayBy(units, [](const TOrgUnitRecord &u) { return u.Name; });
    return units;
}

void TOrgUnitStore::check(const QString &code, const QString &name, qint64 ownID) const
{
    if (code.size() > CodeLength)
        throw KException(UiText(u"Šifra organizacione jedinice može imati najviše %1 znakova.").arg(CodeLength));
    if (name.isEmpty())
        throw KException(UiText(u"Naziv organizacione jedinice mora biti upisan."));
    if (name.size() > NameLength)
        throw KException(UiText(u"Naziv organizacione jedinice može imati najviše %1 znakova.").arg(NameLength));
    const QString folded = SerbianFold(name);
    for (const TOrgUnitRecord &unit : All())
        if (unit.OrgUnitID != ownID && SerbianFold(unit.Name) == folded)
            throw KException(unit.Active ? duplicateText(unit.Name)
                                         : UiText(u"Organizaciona jedinica „%1“ već postoji kao neaktivna; "
                                              u"aktivirajte je.")
                                               .arg(unit.Name));
}

TOrgUnitRecord TOrgUnitStore::lockedRow(TZTransaction &transaction, qint64 id) const
{
    if (transaction.LockRow(Table, QStringLiteral("orgunitid"), id)) {
        auto q = m_connection.OpenQuery(QStringLiteral("SELECT code, name, active FROM orgunit WHERE orgunitid = ?"), {id});
        if (q->next())
            return {id, q->value(0).toString(), q->value(1).toString(), q->value(2).toString() == QLatin1String("y")};
    }
    throw KException(UiText(u"Ta organizaciona jedinica više ne postoji."));
}

qint64 TOrgUnitStore::Add(const QString &typedCode, const QString &typedName)
{
    const QString code = typedCode.trimmed(), name = typedName.trimmed();
    try {
        return RetryOnWriteConflict(m_connection, [&] {
            TZTransaction transaction(m_connection);
            check(code, name, 0);
            m_connection.ExecSQL(QStringLiteral("INSERT INTO orgunit (code, name, active) VALUES (?, ?, 'y')"),
                                 {codeValue(code), name});
            const qint64 id = m_connection.LastInsertID();
            RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Insert, m_actor,
                                 {{QStringLiteral("code"), {}, codeValue(code)},
                                  {QStringLiteral("name"), {}, name},
                                  {QStringLiteral("active"), {}, activeText(true)}});
            transaction.Commit();
            return id;
        });
    } catch (const EDatabaseError &e) {
        // Another desk stored the same name since this one looked.
        if (IsUniqueViolation(e))
            throw KException(duplicateText(name));
        throw;
    }
}

void TOrgUnitStore::Update(qint64 id, const QString &typedCode, const QString &typedName)
{
    const QString code = typedCode.trimmed(), name = typedName.trimmed();
    try {
        RetryOnWriteConflict(m_connection, [&] {
            TZTransaction transaction(m_connection);
            const TOrgUnitRecord before = lockedRow(transaction, id);
            check(code, name, id);
            if (before.Code == code && before.Name == name)
                return;
            m_connection.ExecSQL(QStringLiteral("UPDATE orgunit SET code = ?, name = ? WHERE orgunitid = ?"),
                                 {codeValue(code), name, id});
            RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Update, m_actor,
                                 ChangedValues({{QStringLiteral("code"), codeValue(before.Code)},
                                                {QStringLiteral("name"), before.Name}},
                                               {{QStringLiteral("code"), codeValue(code)}, {QStringLiteral("name"), name}}));
            transaction.Commit();
        });
    } catch (const EDatabaseError &e) {
        if (IsUniqueViolation(e))
            throw KException(duplicateText(name));
        throw;
    }
}

void TOrgUnitStore::SetActive(qint64 id, bool active)
{
    RetryOnWriteConflict(m_connection, [&] {
        TZTransaction transaction(m_connection);
        const TOrgUnitRecord before = lockedRow(transaction, id);
        if (before.Active == active)
            return;
        m_connection.ExecSQL(QStringLiteral("UPDATE orgunit SET active = ? WHERE orgunitid = ?"), {activeText(active), id});
        RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Update, m_actor,
                             {{QStringLiteral("active"), activeText(before.Active), activeText(active)}});
        transaction.Commit();
    });
}
