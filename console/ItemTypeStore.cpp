#include "ItemTypeStore.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianDisplayOrder.h"
#include "SerbianFold.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QSqlQuery>

namespace {

const QString Table = QStringLiteral("itemtype");
constexpr int NameLength = 100; // itemtype.name

QString activeText(bool active)
{
    return active ? QStringLiteral("y") : QStringLiteral("n");
}

QString duplicateText(const TItemTypeRecord &existing)
{
    return existing.Active
        ? UiText(u"Vrsta dokumenta „%1“ već postoji na listi.").arg(existing.Name)
        : UiText(u"Vrsta dokumenta „%1“ već postoji na listi kao neaktivna; aktivirajte je.").arg(existing.Name);
}

} // namespace

TItemTypeStore::TItemTypeStore(TZConnection &connection, TRegisterActor actor)
    : m_connection(connection), m_actor(std::move(actor))
{
}

QList<TItemTypeRecord> TItemTypeStore::read(const QString &where) const
{
    QList<TItemTypeRecord> types;
    auto q = m_connection.OpenQuery(QStringLiteral("SELECT itemtypeid, name, active FROM itemtype %1 ORDER BY %2, itemtypeid")
                                        .arg(where, m_connection.TextOrder(QStringLiteral("name"))));
    while (q->next())
        types.push_back({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString() == QLatin1String("y")});
    SortForDisplayBy(types, [](const TItemTypeRecord &t) { return t.Name; });
    return types;
}

QList<TItemTypeRecord> TItemTypeStore::All() const
{
    return read({});
}

QStringList TItemTypeStore::ActiveNames() const
{
    QStringList names;
    for (const TItemTypeRecord &type : read(QStringLiteral("WHERE active = 'y'")))
        names << type.Name;
    return names;
}

TItemTypeRecord TItemTypeStore::Find(const QString &name) const
{
    const QString folded = SerbianFold(name.trimmed());
    for (const TItemTypeRecord &type : All())
        if (SerbianFold(type.Name) == folded)
            return type;
    return {};
}

void TItemTypeStore::checkName(const QString &name, qint64 ownID) const
{
    if (name.isEmpty())
        throw KException(UiText(u"Naziv vrste dokumenta mora biti upisan."));
    if (name.size() > NameLength)
        throw KException(UiText(u"Naziv vrste dokumenta može imati najviše %1 znakova.").arg(NameLength));
    const TItemTypeRecord existing = Find(name);
    if (existing.ItemTypeID != 0 && existing.ItemTypeID != ownID)
        throw KException(duplicateText(existing));
}

TItemTypeRecord TItemTypeStore::lockedRow(TZTransaction &transaction, qint64 id) const
{
    if (transaction.LockRow(Table, QStringLiteral("itemtypeid"), id)) {
        auto q = m_connection.OpenQuery(QStringLiteral("SELECT name, active FROM itemtype WHERE itemtypeid = ?"), {id});
        if (q->next())
            return {id, q->value(0).toString(), q->value(1).toString() == QLatin1String("y")};
    }
    throw KException(UiText(u"Ta vrsta dokumenta više ne postoji na listi."));
}

qint64 TItemTypeStore::Add(const QString &typed)
{
    const QString name = typed.trimmed();
    try {
        return RetryOnWriteConflict(m_connection, [&] {
            TZTransaction transaction(m_connection);
            checkName(name, 0);
            m_connection.ExecSQL(QStringLiteral("INSERT INTO itemtype (name, active) VALUES (?, 'y')"), {name});
            const qint64 id = m_connection.LastInsertID();
            RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Insert, m_actor,
                                 {{QStringLiteral("name"), {}, name}, {QStringLiteral("active"), {}, activeText(true)}});
            transaction.Commit();
            return id;
        });
    } catch (const EDatabaseError &e) {
        // Another desk stored the same name since this one looked.
        if (IsUniqueViolation(e))
            throw KException(UiText(u"Vrsta dokumenta „%1“ već postoji na listi.").arg(name));
        throw;
    }
}

void TItemTypeStore::Rename(qint64 id, const QString &typed)
{
    const QString name = typed.trimmed();
    try {
        RetryOnWriteConflict(m_connection, [&] {
            TZTransaction transaction(m_connection);
            const TItemTypeRecord before = lockedRow(transaction, id);
            checkName(name, id);
            if (before.Name == name)
                return;
            m_connection.ExecSQL(QStringLiteral("UPDATE itemtype SET name = ? WHERE itemtypeid = ?"), {name, id});
            RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Update, m_actor,
                                 {{QStringLiteral("name"), before.Name, name}});
            transaction.Commit();
        });
    } catch (const EDatabaseError &e) {
        if (IsUniqueViolation(e))
            throw KException(UiText(u"Vrsta dokumenta „%1“ već postoji na listi.").arg(name));
        throw;
    }
}

void TItemTypeStore::SetActive(qint64 id, bool active)
{
    RetryOnWriteConflict(m_connection, [&] {
        TZTransaction transaction(m_connection);
        const TItemTypeRecord before = lockedRow(transaction, id);
        if (before.Active == active)
            return;
        m_connection.ExecSQL(QStringLiteral("UPDATE itemtype SET active = ? WHERE itemtypeid = ?"), {activeText(active), id});
        RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Update, m_actor,
                             {{QStringLiteral("active"), activeText(before.Active), activeText(active)}});
        transaction.Commit();
    });
}
