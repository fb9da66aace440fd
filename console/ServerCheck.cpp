#include "ServerCheck.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "SchemaInstaller.h"

namespace {

// Seconds: long enough for a server across town, short enough for a person waiting.
constexpr int CheckTimeout = 3;

QString reason(const EDatabaseError &e)
{
    QString text = (e.details().isEmpty() ? e.message() : e.details()).trimmed();
    // The driver's own tail says nothing the server's words did not.
    const QString driverTail = QStringLiteral("QMYSQL: Unable to connect");
    if (text.endsWith(driverTail))
        text = text.chopped(driverTail.size()).trimmed();
    while (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace

QString CheckServer(TConnectionParams params)
{
    params.ConnectTimeout = CheckTimeout;
    params.ReadTimeout = CheckTimeout;
    params.WriteTimeout = CheckTimeout;
    TZConnection connection;
    connection.SetParams(params);
    try {
        connection.Connect();
    } catch (const EDatabaseError &e) {
        // MariaDB's codes: no such database, and a refused account.
        if (e.nativeCode() == QLatin1String("1049"))
            return UiText(u"Veza sa serverom je uspostavljena, ali baza „%1“ ne postoji; "
                      u"neka je napravi administrator servera.").arg(params.Database);
        if (e.nativeCode() == QLatin1String("1044") || e.nativeCode() == QLatin1String("1045"))
            return UiText(u"Server je odbio nalog „%1“: %2.").arg(params.User, reason(e));
        return UiText(u"Server ne odgovara: %1.").arg(reason(e));
    } catch (const KException &e) {
        return UiText(u"Server ne odgovara: %1").arg(e.message());
    }
    try {
        const QString found = SchemaInstalled(connection) ? UiText(u"već sadrži delovodnik")
                                                          : UiText(u"je prazna");
        return UiText(u"Veza sa serverom je uspostavljena; baza „%1“ %2.").arg(params.Database, found);
    } catch (const EDatabaseError &e) {
        return UiText(u"Server ne odgovara: %1.").arg(reason(e));
    }
}
