#include "Stamp.h"

#include "DBIniFile.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "data/ReportFile.h"
#include "data/ReportText.h"

#include <QRandomGenerator>
#include <QSqlQuery>

namespace {

const QString BookSection = QStringLiteral("Book");
const QString BookKey = QStringLiteral("Id");

QString storedBookID(TZConnection &connection)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT value FROM settings WHERE section = ? AND keyname = ?"),
                                  {BookSection, BookKey});
    return q->next() ? q->value(0).toString() : QString();
}

} // namespace

QString StampPayload(const TStamp &stamp)
{
    return QStringLiteral("DELOVODNIK:%1:%2:%3").arg(stamp.BookID, QString::number(stamp.ItemID), stamp.LedgerNumber);
}

QStringList StampLines(const TStamp &stamp)
{
    QStringList lines{stamp.Organization};
    if (!stamp.OrgUnit.isEmpty())
        lines << stamp.OrgUnit;
    lines << UiText(u"Delovodni broj: ") + stamp.LedgerNumber
          << UiText(u"Primljeno: ") + stamp.Registered.toString(QStringLiteral("dd.MM.yyyy HH:mm"))
          << UiText(u"Broj priloga: ") + QString::number(stamp.Enclosures);
    return lines;
}

QString LedgerBookID(TZConnection &connection)
{
    if (const QString id = storedBookID(connection); !id.isEmpty())
        return id;
    const QString made = QString::number(QRandomGenerator::system()->generate(), 16).toUpper().rightJustified(8, u'0');
    try {
        connection.ExecSQL(QStringLiteral("INSERT INTO settings (section, keyname, value) VALUES (?, ?, ?)"),
                           {BookSection, BookKey, made});
    } catch (const EDatabaseError &e) {
        // Another desk made it first: its id stands.
        if (!IsUniqueViolation(e))
            throw;
    }
    return storedBookID(connection);
}

TStamp ReadStamp(TZConnection &connection, qint64 itemID)
{
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT ledgernumber, ledgerdatetime, orgunit FROM ledgeritem WHERE ledgeritemid = ?"), {itemID});
    if (!q->next())
        throw KException(UiText(u"Štambilj nije odštampan: stavka više ne postoji u delovodniku."));
    TStamp stamp;
    stamp.ItemID = itemID;
    stamp.LedgerNumber = q->value(0).toString();
    stamp.Registered = StoredDateTime(q->value(1));
    stamp.OrgUnit = q->value(2).toString().trimmed();
    if (stamp.OrgUnit.isEmpty())
        stamp.OrgUnit = TDBIniFile(&connection)
                            .ReadString(QStringLiteral("Organization"), QStringLiteral("Unit"), QString())
                            .trimmed();
    auto count = connection.OpenQuery(
        QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE parentid = ? AND cancelled = 'n'"), {itemID});
    stamp.Enclosures = count->next() ? count->value(0).toInt() : 0;
    stamp.Organization = PrintedOrganization(connection);
    stamp.BookID = LedgerBookID(connection);
    return stamp;
}
