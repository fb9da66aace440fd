#include "ServerList.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <QStringList>
#include <algorithm>

QString TServerAddress::Text() const
{
    if (!Socket.isEmpty())
        return Socket;
    const QString host = Host.contains(u':') ? u'[' + Host + u']' : Host;
    return Port > 0 ? host + u':' + QString::number(Port) : host;
}

namespace {

[[noreturn]] void refuse(const QString &entry, const QString &why)
{
    throw EDatabaseError(UiText(u"Neispravan server u listi servera: \"%1\" (%2).").arg(entry, why));
}

int parsePort(const QString &entry, const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        refuse(entry, UiText(u"port mora biti broj od 1 do 65535"));
    return port;
}

} // namespace

std::vector<TServerAddress> ParseServerList(const QString &text, int defaultPort)
{
    std::vector<TServerAddress> servers;
    for (const QString &raw : text.split(u';')) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        TServerAddress s;
        if (entry.startsWith(u'/')) {
            s.Socket = entry;
        } else if (entry.startsWith(u'[')) {
            // An IPv6 address names its port after the closing bracket.
            const qsizetype close = entry.indexOf(u']');
            if (close < 2)
                refuse(entry, UiText(u"adresa u zagradama nije zatvorena"));
            s.Host = entry.mid(1, close - 1);
            const QString rest = entry.mid(close + 1);
            if (rest.isEmpty())
                s.Port = defaultPort;
            else if (rest.startsWith(u':'))
                s.Port = parsePort(entry, rest.mid(1));
            else
                refuse(entry, UiText(u"posle adrese sme stajati samo :port"));
        } else {
            const qsizetype colon = entry.indexOf(u':');
            if (colon != entry.lastIndexOf(u':'))
                refuse(entry, UiText(u"IPv6 adresu pišite u uglastim zagradama"));
            s.Host = colon < 0 ? entry : entry.left(colon);
            s.Port = colon < 0 ? defaultPort : parsePort(entry, entry.mid(colon + 1));
            if (s.Host.isEmpty())
                refuse(entry, UiText(u"nedostaje ime servera"));
        }
        if (std::any_of(s.Host.begin(), s.Host.end(), [](QChar c) { return c.isSpace(); }))
            refuse(entry, UiText(u"ime servera sadrži razmak"));
        servers.push_back(std::move(s));
    }
    return servers;
}
