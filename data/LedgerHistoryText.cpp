#include "LedgerHistoryText.h"

#include "CommonStrings.h"
#include "Field.h"
#include "StoredForm.h"

#include <QHash>

namespace {

const QString Dash = QStringLiteral("—");
const QString Dot = QStringLiteral(" · ");

const QHash<QString, QString> &captions()
{
    static const QHash<QString, QString> map{
        {QStringLiteral("direction"), QStringLiteral("Tip")},
        {QStringLiteral("ledgerdatetime"), QStringLiteral("Datum i vreme")},
        {QStringLiteral("ledgernumber"), QStringLiteral("Delovodni broj")},
        {QStringLiteral("partnerid"), QStringLiteral("Partner")},
        {QStringLiteral("documentid"), QStringLiteral("Dokument")},
        {QStringLiteral("itemtype"), QStringLiteral("Vrsta dokumenta")},
        {QStringLiteral("itemnumber"), QStringLiteral("Broj dokumenta")},
        {QStringLiteral("itemdate"), QStringLiteral("Datum dokumenta")},
        {QStringLiteral("parentid"), QStringLiteral("Prilog uz")},
        {QStringLiteral("inmailtype"), QStringLiteral("Primljeno putem")},
        {QStringLiteral("inmailnumber"), QStringLiteral("Primljeno reg. br.")},
        {QStringLiteral("outmailtype"), QStringLiteral("Predato putem")},
        {QStringLiteral("outmailnumber"), QStringLiteral("Predato reg. br.")},
        {QStringLiteral("inuserid"), QStringLiteral("Upućeno od")},
        {QStringLiteral("userid"), QStringLiteral("Zaveo")},
        {QStringLiteral("outuserid"), QStringLiteral("Namenjeno")},
        {QStringLiteral("accepted"), QStringLiteral("Prihvaćen")},
        {QStringLiteral("archived"), QStringLiteral("Arhivirano")},
        {QStringLiteral("archivednumber"), QStringLiteral("Arhivirano reg. br.")},
        {QStringLiteral("passonparentid"), QStringLiteral("Predato iz")},
        {QStringLiteral("cancelled"), QStringLiteral("Stornirano")},
        {QStringLiteral("cancelreason"), QStringLiteral("Razlog storniranja")},
        {QStringLiteral("cancelledby"), QStringLiteral("Stornirao")},
        {QStringLiteral("cancelledat"), QStringLiteral("Stornirano dana")},
        {QStringLiteral("scan"), QStringLiteral("Sken")},
    };
    return map;
}

QString newText(const THistoryEntry &entry, const QString &column)
{
    for (const THistoryValue &v : entry.Values)
        if (v.Column == column)
            return HistoryValueText(column, v.NewValue, v.NewText);
    return {};
}

} // namespace

QString HistoryColumnCaption(const QString &column)
{
    return captions().value(column, column);
}

QString HistoryTime(const QDateTime &when)
{
    return when.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString HistoryValueText(const QString &column, const QVariant &value, const QString &text)
{
    if (!text.isEmpty())
        return text;
    const QString stored = value.toString();
    if (value.isNull() || stored.isEmpty())
        return Dash;
    if (column == QLatin1String("accepted") || column == QLatin1String("archived")
        || column == QLatin1String("cancelled")) {
        const auto flag = TField::DecodeFlag(stored);
        return flag ? (*flag ? _YES_CAP : _NO_CAP) : stored;
    }
    if (column == QLatin1String("ledgerdatetime") || column == QLatin1String("cancelledat"))
        return HistoryTime(ReadStoredDateTime(stored));
    if (column == QLatin1String("itemdate"))
        return ReadStoredDate(stored).toString(QStringLiteral("dd.MM.yyyy"));
    return stored;
}

QStringList HistoryLines(const THistoryEntry &entry)
{
    const QString who = entry.UserName.isEmpty() ? Dash : entry.UserName;
    const QString head = HistoryTime(entry.When) + Dot + who + Dot;
    switch (entry.Kind) {
    case THistoryKind::Insert: {
        QString what = QStringLiteral("Zavedeno kao ") + entry.LedgerNumber;
        if (const QString from = newText(entry, QStringLiteral("passonparentid")); !from.isEmpty())
            what += QStringLiteral(", predato iz ") + from;
        else if (const QString parent = newText(entry, QStringLiteral("parentid")); !parent.isEmpty())
            what += QStringLiteral(", prilog uz ") + parent;
        return {head + what};
    }
    case THistoryKind::Delete:
        return {head + QStringLiteral("Obrisano: ") + entry.LedgerNumber};
    case THistoryKind::Update:
        break;
    }
    QStringList lines;
    for (const THistoryValue &v : entry.Values)
        lines << head + HistoryColumnCaption(v.Column) + QStringLiteral(": ")
                + HistoryValueText(v.Column, v.OldValue, v.OldText) + QStringLiteral(" → ")
                + HistoryValueText(v.Column, v.NewValue, v.NewText);
    return lines;
}
