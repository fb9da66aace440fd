#include "PartnerStore.h"

#include "InterfaceScript.h"
#include "KInterfaces.h"
#include "PartnerNumbers.h"
#include "SerbianFold.h"
#include "ZConnection.h"
#include "ZTransaction.h"

#include <QRegularExpression>
#include <algorithm>
#include <QSqlQuery>

const QString PartnerAdministratorOnlyText =
    QStringLiteral("Samo administrator može da aktivira, deaktivira i spaja partnere.");

namespace {

const QString PartnerTable = QStringLiteral("partner");
const QString PartnerKey = QStringLiteral("partnerid");
const QString Columns = QStringLiteral("partnerid, name, address, city, pib, mb, email, phone, active");

// A column's caption and its limit in the MariaDB schema.
struct TTextLimit
{
    QString TPartnerRecord::*Field;
    const char *Caption;
    int Length;
};

const TTextLimit Limits[] = {
    {&TPartnerRecord::Name, "Naziv", 100},   {&TPartnerRecord::Address, "Adresa", 100},
    {&TPartnerRecord::City, "Mesto", 50},    {&TPartnerRecord::Email, "E-mail", 100},
    {&TPartnerRecord::Phone, "Telefon", 50},
};

bool looksLikeEmail(const QString &email)
{
    // Someone@somewhere.tld: one @, no spaces, a dot inside the domain.
    static const QRegularExpression shape(QStringLiteral("^[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)+$"));
    return shape.match(email).hasMatch();
}

QVariant nullIfEmpty(const QString &text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QVariant() : QVariant(trimmed);
}

TPartnerRecord readRow(const QSqlQuery &q)
{
    TPartnerRecord r;
    r.ID = q.value(0).toLongLong();
    r.Name = q.value(1).toString();
    r.Address = q.value(2).toString();
    r.City = q.value(3).toString();
    r.Pib = q.value(4).toString();
    r.Mb = q.value(5).toString();
    r.Email = q.value(6).toString();
    r.Phone = q.value(7).toString();
    r.Active = q.value(8).toString() != QLatin1String("n");
    return r;
}

// The columns a clerk edits, as stored (trimmed, NULL for empty).
QVariantMap storedTexts(const TPartnerRecord &r)
{
    return {{QStringLiteral("name"), r.Name.trimmed()}, {QStringLiteral("address"), nullIfEmpty(r.Address)},
            {QStringLiteral("city"), nullIfEmpty(r.City)},  {QStringLiteral("pib"), nullIfEmpty(r.Pib)},
            {QStringLiteral("mb"), nullIfEmpty(r.Mb)},      {QStringLiteral("email"), nullIfEmpty(r.Email)},
            {QStringLiteral("phone"), nullIfEmpty(r.Phone)}};
}

QVariantList textParams(const QVariantMap &texts)
{
    return {texts[QStringLiteral("name")], texts[QStringLiteral("address")], texts[QStringLiteral("city")],
            texts[QStringLiteral("pib")],  texts[QStringLiteral("mb")],      texts[QStringLiteral("email")],
            texts[QStringLiteral("phone")]};
}

void requireStorable(const TPartnerRecord &record)
{
    const QString problem = PartnerProblem(record);
    if (!problem.isEmpty())
        throw KException(problem);
}

void requireAdministrator(const TUserDesc &user)
{
    if (!user.Administrator)
        throw KException(UiText(PartnerAdministratorOnlyText));
}

const QString GoneText = QStringLiteral("Partner više ne postoji (u međuvremenu je izbrisan).");

// Locks the partner id in transaction and reads it as it is now.
TPartnerRecord lockedPartner(TZTransaction &transaction, TZConnection &connection, qint64 id)
{
    if (!transaction.LockRow(PartnerTable, PartnerKey, id))
        throw EStaleRow(UiText(GoneText));
    std::optional<TPartnerRecord> partner = ReadPartner(connection, id);
    if (!partner)
        throw EStaleRow(UiText(GoneText));
    return *partner;
}

QString activeText(bool active)
{
    return active ? QStringLiteral("y") : QStringLiteral("n");
}

} // namespace

QString PartnerProblem(const TPartnerRecord &record)
{
    if (record.Name.trimmed().isEmpty())
        return UiText(u"Naziv partnera je obavezan.");
    for (const TTextLimit &limit : Limits)
        if ((record.*limit.Field).trimmed().size() > limit.Length)
            return UiText(u"%1 može imati najviše %2 znakova.")
                .arg(UiText(QString::fromUtf8(limit.Caption)))
                .arg(limit.Length);
    if (QString problem = PibProblem(record.Pib); !problem.isEmpty())
        return problem;
    if (QString problem = MbProblem(record.Mb); !problem.isEmpty())
        return problem;
    const QString email = record.Email.trimmed();
    if (!email.isEmpty() && !looksLikeEmail(email))
        return UiText(u"E-mail adresa nije ispravna (primer: kancelarija@firma.rs).");
    return {};
}

std::optional<TPartnerRecord> ReadPartner(TZConnection &connection, qint64 id)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT %1 FROM partner WHERE partnerid = ?").arg(Columns), {id});
    if (!q->next())
        return std::nullopt;
    return readRow(*q);
}

TRegisterActor PartnerActor(const TUserDesc &user)
{
    const QString name = QStringList{user.FirstName, user.LastName}.join(QLatin1Char(' ')).trimmed();
    const QString shown = name.isEmpty() ? user.Login : name;
    // Nobody logged in (a set-up from the command line): an empty name, not NULL.
    return RegisterActor(user.UserID, shown.isNull() ? QStringLiteral("") : shown);
}

qint64 InsertPartner(TZConnection &connection, const TPartnerRecord &record, const TRegisterActor &actor)
{
    requireStorable(record);
    const QVariantMap texts = storedTexts(record);
    return RetryOnWriteConflict(connection, [&] {
        TZTransaction transaction(connection);
        connection.ExecSQL(QStringLiteral("INSERT INTO partner (name, address, city, pib, mb, email, phone, active) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?, 'y')"),
                           textParams(texts));
        const qint64 id = connection.LastInsertID();
        QVariantMap stored = texts;
        stored.insert(QStringLiteral("active"), activeText(true));
        QList<TRegisterValue> values;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            if (!it.value().isNull())
                values.push_back({it.key(), {}, it.value()});
        RecordRegisterChange(connection, PartnerTable, id, TRegisterChangeKind::Insert, actor, values);
        transaction.Commit();
        return id;
    });
}

qint64 UpdatePartner(TZConnection &connection, const TPartnerRecord &record, const TRegisterActor &actor)
{
    requireStorable(record);
    const QVariantMap texts = storedTexts(record);
    return RetryOnWriteConflict(connection, [&] {
        TZTransaction transaction(connection);
        const QVariantMap before = storedTexts(lockedPartner(transaction, connection, record.ID));
        QVariantList params = textParams(texts);
        params << record.ID;
        connection.ExecSQL(QStringLiteral("UPDATE partner SET name = ?, address = ?, city = ?, pib = ?, mb = ?, "
                                          "email = ?, phone = ? WHERE partnerid = ?"),
                           params);
        const QList<TRegisterValue> changed = ChangedValues(before, texts);
        if (!changed.isEmpty())
            RecordRegisterChange(connection, PartnerTable, record.ID, TRegisterChangeKind::Update, actor, changed);
        transaction.Commit();
        return record.ID;
    });
}

std::vector<TPartnerRecord> FindDuplicates(TZConnection &connection, const TPartnerRecord &record)
{
    const QString pib = record.Pib.trimmed();
    const QString folded = SerbianFold(record.Name.trimmed());
    std::vector<TPartnerRecord> found;
    // Folding is the program's, not the database's: every active name is read.
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT %1 FROM partner WHERE active = 'y' AND partnerid <> ? ORDER BY partnerid").arg(Columns),
        {record.ID});
    while (q->next()) {
        TPartnerRecord other = readRow(*q);
        const bool samePib = !pib.isEmpty() && other.Pib.trimmed() == pib;
        const bool sameName = !folded.isEmpty() && SerbianFold(other.Name.trimmed()) == folded;
        if (samePib || sameName)
            found.push_back(std::move(other));
    }
    return found;
}

void SetPartnerActive(TZConnection &connection, qint64 id, bool active, const TUserDesc &user)
{
    requireAdministrator(user);
    RetryOnWriteConflict(connection, [&] {
        TZTransaction transaction(connection);
        const TPartnerRecord before = lockedPartner(transaction, connection, id);
        if (before.Active == active)
            return; // already so: nothing to record
        connection.ExecSQL(QStringLiteral("UPDATE partner SET active = ? WHERE partnerid = ?"),
                           {activeText(active), id});
        RecordRegisterChange(connection, PartnerTable, id, TRegisterChangeKind::Update, PartnerActor(user),
                             {{QStringLiteral("active"), activeText(before.Active), activeText(active)}});
        transaction.Commit();
    });
}

int MergePartners(TZConnection &connection, qint64 keptID, qint64 mergedID, const TUserDesc &user)
{
    requireAdministrator(user);
    if (keptID == mergedID)
        throw KException(UiText(u"Partner se ne može spojiti sam sa sobom."));
    return RetryOnWriteConflict(connection, [&] {
        TZTransaction transaction(connection);
        // Always the lower id first, so two desks merging the same pair
        // either way round wait for each other instead of deadlocking.
        const qint64 first = std::min(keptID, mergedID);
        const qint64 second = std::max(keptID, mergedID);
        const TPartnerRecord lower = lockedPartner(transaction, connection, first);
        const TPartnerRecord higher = lockedPartner(transaction, connection, second);
        const TPartnerRecord &kept = keptID == first ? lower : higher;
        const TPartnerRecord &merged = keptID == first ? higher : lower;
        if (!kept.Active)
            throw KException(UiText(u"Partner „%1” nije aktivan: u njega se ne spaja.").arg(kept.Name));
        // A cancelled item is final and keeps the partner it was registered with.
        const int items = connection.ExecSQL(
            QStringLiteral("UPDATE ledgeritem SET partnerid = ? WHERE partnerid = ? AND cancelled = 'n'"),
            {keptID, mergedID});
        connection.ExecSQL(QStringLiteral("UPDATE partner SET active = 'n' WHERE partnerid = ?"), {mergedID});
        const TRegisterActor actor = PartnerActor(user);
        const QString itemsColumn = QStringLiteral("items");
        QList<TRegisterValue> mergedValues{{QStringLiteral("mergedinto"), {}, keptID}, {itemsColumn, {}, items}};
        if (merged.Active)
            mergedValues.push_back({QStringLiteral("active"), activeText(true), activeText(false)});
        RecordRegisterChange(connection, PartnerTable, mergedID, TRegisterChangeKind::Merge, actor, mergedValues);
        RecordRegisterChange(connection, PartnerTable, keptID, TRegisterChangeKind::Merge, actor,
                             {{QStringLiteral("mergedfrom"), {}, mergedID}, {itemsColumn, {}, items}});
        transaction.Commit();
        return items;
    });
}

QVariantMap PartnerStoredTexts(const TPartnerRecord &record)
{
    return storedTexts(record);
}

QVariantList PartnerStoredParams(const TPartnerRecord &record)
{
    return textParams(storedTexts(record));
}
