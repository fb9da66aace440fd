#include "DocumentStore.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianDisplayOrder.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QSqlQuery>

namespace {

const QString Table = QStringLiteral("document");
constexpr int NumberLength = 30;       // document.number
constexpr int DescriptionLength = 200; // document.description

TDocumentRecord trimmed(const TDocumentRecord &record)
{
    return {record.DocumentID, record.Number.trimmed(), record.Description.trimmed()};
}

QVariant orNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariantMap columns(const TDocumentRecord &record)
{
    return {{QStringLiteral("number"), record.Number}, {QStringLiteral("description"), orNull(record.Description)}};
}

void check(const TDocumentRecord &record)
{
    if (const QString problem = TDocumentStore::Problem(record); !problem.isEmpty())
        throw KException(problem);
}

} // namespace

TDocumentStore::TDocumentStore(TZConnection &connection, TRegisterActor actor)
    : m_connection(connection), m_actor(std::move(actor))
{
}

QList<TDocumentRecord> TDocumentStore::All() const
{
    QList<TDocumentRecord> documents;
    auto q = m_connection.OpenQuery(QStringLiteral("SELECT documentid, number, description FROM document ORDER BY %1, documentid")
                                        .arg(m_connection.TextOrder(QStringLiteral("number"))));
    while (q->next())
        documents.push_back({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString()});
    SortForDisplayBy(documents, [](const TDocumentRecord &d) { return d.Number; });
    return documents;
}

QString TDocumentStore::Problem(const TDocumentRecord &record)
{
    const TDocumentRecord r = trimmed(record);
    if (r.Number.isEmpty())
        return UiText(u"Broj dokumenta mora biti upisan.");
    if (r.Number.size() > NumberLength)
        return UiText(u"Broj dokumenta može imati najviše %1 znakova.").arg(NumberLength);
    if (r.Description.size() > DescriptionLength)
        return UiText(u"Opis dokumenta može imati najviše %1 znakova.").arg(DescriptionLength);
    return {};
}

qint64 TDocumentStore::Insert(const TDocumentRecord &record)
{
    const TDocumentRecord r = trimmed(record);
    check(r);
    return RetryOnWriteConflict(m_connection, [&] {
        TZTransaction transaction(m_connection);
        m_connection.ExecSQL(QStringLiteral("INSERT INTO document (number, description) VALUES (?, ?)"),
                             {r.Number, orNull(r.Description)});
        const qint64 id = m_connection.LastInsertID();
        RecordRegisterChange(m_connection, Table, id, TRegisterChangeKind::Insert, m_actor,
                             ChangedValues({}, columns(r)));
        transaction.Commit();
        return id;
    });
}

void TDocumentStore::Update(const TDocumentRecord &record)
{
    const TDocumentRecord r = trimmed(record);
    check(r);
    RetryOnWriteConflict(m_connection, [&] {
        TZTransaction transaction(m_connection);
        if (!transaction.LockRow(Table, QStringLiteral("documentid"), r.DocumentID))
            throw KException(UiText(u"Dokument „%1“ više ne postoji.").arg(r.Number));
        auto q = m_connection.OpenQuery(QStringLiteral("SELECT number, description FROM document WHERE documentid = ?"),
                                        {r.DocumentID});
        if (!q->next())
            throw KException(UiText(u"Dokument „%1“ više ne postoji.").arg(r.Number));
        const QVariantMap before{{QStringLiteral("number"), q->value(0)}, {QStringLiteral("description"), q->value(1)}};
        q.reset();
        const QList<TRegisterValue> changed = ChangedValues(before, columns(r));
        if (changed.isEmpty())
            return;
        m_connection.ExecSQL(QStringLiteral("UPDATE document SET number = ?, description = ? WHERE documentid = ?"),
                             {r.Number, orNull(r.Description), r.DocumentID});
        RecordRegisterChange(m_connection, Table, r.DocumentID, TRegisterChangeKind::Update, m_actor, changed);
        transaction.Commit();
    });
}
