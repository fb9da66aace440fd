#include "PartnerCsv.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianFold.h"

#include <QStringDecoder>

namespace {

// Strict UTF-8 first: a Windows-1250 file with any letter beyond ASCII is
// never valid UTF-8, and a pure ASCII file reads the same either way.
std::pair<QString, QString> decode(const QByteArray &bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return {text, QStringLiteral("UTF-8")};
    QStringDecoder cp1250("windows-1250");
    if (!cp1250.isValid())
        throw KException(UiText(u"Kodna strana Windows-1250 nije dostupna na ovom računaru."));
    return {cp1250.decode(body), QStringLiteral("Windows-1250")};
}

// The separator of the header line: whichever of ';' and ',' it has more of
// outside quotes. Serbian Excel writes ';' because ',' is the decimal mark.
QChar separatorOf(const QString &text)
{
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u',')
            ++commas;
    }
    return semicolons >= commas && semicolons > 0 ? u';' : (commas > 0 ? u',' : u';');
}

QList<TCsvRow> parse(const QString &text, QChar separator)
{
    QList<TCsvRow> rows;
    TCsvRow row{1, {}};
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    int line = 1;
    int quoteLine = 0;
    auto endCell = [&] {
        row.Cells << cell;
        cell.clear();
        cellStarted = false;
    };
    auto endRow = [&] {
        endCell();
        const bool blank = std::all_of(row.Cells.cbegin(), row.Cells.cend(), [](const QString &c) {
            return c.trimmed().isEmpty();
        });
        if (!blank)
            rows << row;
        row = TCsvRow{line + 1, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == u'"' && !cellStarted) {
            quoted = true;
            cellStarted = true;
            quoteLine = line;
        } else if (c == separator) {
            endCell();
        } else if (c == u'\r') {
            continue;
        } else if (c == u'\n') {
            endRow();
            ++line;
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (quoted)
        throw KException(UiText(u"Navodnik otvoren u redu %1 nije zatvoren do kraja datoteke.").arg(quoteLine));
    if (cellStarted || !cell.isEmpty() || !row.Cells.isEmpty())
        endRow();
    return rows;
}

} // namespace

TPartnerColumn GuessPartnerColumn(const QString &header)
{
    QString key = SerbianFold(header.trimmed());
    key.remove(u' ').remove(u'-').remove(u'_').remove(u'.');
    static const std::pair<const char *, TPartnerColumn> names[] = {
        {"naziv", TPartnerColumn::Name},        {"ime", TPartnerColumn::Name},
        {"name", TPartnerColumn::Name},         {"partner", TPartnerColumn::Name},
        {"nazivpartnera", TPartnerColumn::Name}, {"adresa", TPartnerColumn::Address},
        {"ulica", TPartnerColumn::Address},     {"address", TPartnerColumn::Address},
        {"mesto", TPartnerColumn::City},        {"grad", TPartnerColumn::City},
        {"city", TPartnerColumn::City},         {"pib", TPartnerColumn::Pib},
        {"poreskiidentifikacionibroj", TPartnerColumn::Pib}, {"mb", TPartnerColumn::Mb},
        {"maticnibroj", TPartnerColumn::Mb},    {"email", TPartnerColumn::Email},
        {"mail", TPartnerColumn::Email},        {"elektronskaposta", TPartnerColumn::Email},
        {"telefon", TPartnerColumn::Phone},     {"tel", TPartnerColumn::Phone},
        {"phone", TPartnerColumn::Phone},
    };
    for (const auto &[name, column] : names)
        if (key == QLatin1String(name))
            return column;
    return TPartnerColumn::Ignored;
}

QString PartnerColumnCaption(TPartnerColumn column)
{
    switch (column) {
    case TPartnerColumn::Name: return UiText(u"Naziv");
    case TPartnerColumn::Address: return UiText(u"Adresa");
    case TPartnerColumn::City: return UiText(u"Mesto");
    case TPartnerColumn::Pib: return UiText(u"PIB");
    case TPartnerColumn::Mb: return UiText(u"Matični broj");
    case TPartnerColumn::Email: return UiText(u"E-mail");
    case TPartnerColumn::Phone: return UiText(u"Telefon");
    case TPartnerColumn::Ignored: break;
    }
    return UiText(u"(ne uvozi se)");
}

TPartnerCsv ReadPartnerCsv(const QByteArray &bytes)
{
    TPartnerCsv csv;
    const auto [text, encoding] = decode(bytes);
    csv.Encoding = encoding;
    csv.Separator = separatorOf(text);
    QList<TCsvRow> rows = parse(text, csv.Separator);
    if (rows.isEmpty())
        throw KException(UiText(u"Datoteka je prazna: prvi red treba da navede kolone (npr. Naziv;Adresa;Mesto;PIB)."));
    csv.Header = rows.takeFirst().Cells;
    for (QString &name : csv.Header)
        name = name.trimmed();
    for (const QString &name : csv.Header)
        csv.Columns << GuessPartnerColumn(name);
    for (const TCsvRow &row : rows)
        if (row.Cells.size() > csv.Header.size())
            throw KException(UiText(u"Red %1 ima %2 kolona, a zaglavlje %3.")
                                 .arg(row.Line).arg(row.Cells.size()).arg(csv.Header.size()));
    csv.Rows = rows;
    return csv;
}
