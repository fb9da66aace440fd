#include "LedgerSearchCriteria.h"

#include "CommonStrings.h"
#include "FieldType.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "StoredForm.h"
#include "ZConnection.h"
#include "data/LedgerDMUnit.h"
#include "data/ReportText.h"
#include "data/SubjectWords.h"
#include "data/TextSearch.h"
#include "data/LedgerResourceString.h"

#include <QDate>

const QString TLedgerSearchCriteria::Direction = QStringLiteral("direction");
const QString TLedgerSearchCriteria::LedgerNumber = QStringLiteral("ledgernumber");
const QString TLedgerSearchCriteria::DateFrom = QStringLiteral("datefrom");
const QString TLedgerSearchCriteria::DateTo = QStringLiteral("dateto");
const QString TLedgerSearchCriteria::Partner = QStringLiteral("partner");
const QString TLedgerSearchCriteria::ItemNumber = QStringLiteral("itemnumber");
const QString TLedgerSearchCriteria::ItemType = QStringLiteral("itemtype");
const QString TLedgerSearchCriteria::InUser = QStringLiteral("inuser");
const QString TLedgerSearchCriteria::OutUser = QStringLiteral("outuser");
const QString TLedgerSearchCriteria::Accepted = QStringLiteral("accepted");
const QString TLedgerSearchCriteria::Archived = QStringLiteral("archived");
const QString TLedgerSearchCriteria::PassedOn = QStringLiteral("passedon");
const QString TLedgerSearchCriteria::Year = QStringLiteral("year");
const QString TLedgerSearchCriteria::Subject = QStringLiteral("subject");
const QString TLedgerSearchCriteria::Text = QStringLiteral("text");
const QStringList TLedgerSearchCriteria::Keys{Direction, LedgerNumber, DateFrom, DateTo,   Partner,
                                              ItemNumber, ItemType,    InUser,   OutUser,  Accepted,
                                              Archived,  PassedOn,     Year,     Subject,  Text};

QString TLedgerSearchCriteria::Caption(const QString &key)
{
    const QMap<QString, QString> captions{
        {Direction, _LEDGER_TYPE},          {LedgerNumber, _LEDGER_NUMBER},  {DateFrom, _LEDGER_DATE_FROM},
        {DateTo, _LEDGER_DATE_TO},          {Partner, _LEDGER_PARTNER},      {ItemNumber, _LEDGER_ITEM_NUMBER},
        {InUser, _LEDGER_IN_USER},          {OutUser, _LEDGER_OUT_USER},     {Accepted, _LEDGER_ACCEPTED},
        {Archived, _LEDGER_ARCHIVED},       {PassedOn, _LEDGER_PASSEDON},    {Year, QStringLiteral("Godina")},
        {Subject, QStringLiteral("Predmet")},      {Text, QStringLiteral("Tekst")},
        {ItemType, QStringLiteral("Vrsta dokumenta")},
    };
    const auto it = captions.constFind(key);
    return it == captions.cend() ? key : UiText(*it);
}

std::optional<QString> TLedgerSearchCriteria::DirectionCaption(const QString &text)
{
    const QString typed = text.trimmed();
    for (int code = -1; code <= 1; ++code) {
        const QString caption = GetDirectionCaption(code);
        if (typed == QString::number(code) || typed.compare(caption, Qt::CaseInsensitive) == 0
            || typed.compare(ShownCaption(caption), Qt::CaseInsensitive) == 0)
            return caption;
    }
    return std::nullopt;
}

QString TLedgerSearchCriteria::Condition(const TZConnection *connection, QVariantList &params, QString *order,
                                         QVariantList *orderParams) const
{
    if (order)
        order->clear();
    for (auto it = Texts.cbegin(); it != Texts.cend(); ++it)
        if (!Keys.contains(it.key()))
            throw KException(UiText(u"Nepoznat kriterijum pretrage: %1").arg(it.key()));

    QStringList conditions;
    params.clear();
    // Typed text is bound, never part of the statement.
    const auto bound = [&](const QString &condition, const QVariant &value) {
        conditions << condition;
        params << value;
    };
    // In either script, any case, with or without diacritics, over the text's folded key.
    const auto startsWith = [&](const QString &column, const QString &value) {
        if (connection)
            conditions << connection->FoldedPrefixCondition(column, value, params);
        else
            bound(column + QStringLiteral(" LIKE ?"), value + u'%');
    };
    // The pick list offers Da/Ne as shown, in the user's script.
    const auto yes = [](const QString &value) { return value == _YES_CAP || value == ShownCaption(_YES_CAP); };
    const auto flag = [&yes](const QString &column, const QString &value) {
        return column + QStringLiteral(" = ") + QuotedStr(StoredFlag(yes(value)));
    };
    for (const QString &key : Keys) {
        const QString value = Texts.value(key);
        if (value.isEmpty())
            continue;
        if (const QString problem = connection ? connection->SearchTextProblem(value) : QString(); !problem.isEmpty())
            throw KException(UiText(u"Polje '%1' %2").arg(Caption(key), problem));
        if (key == Direction)
            bound(QStringLiteral("l.direction = ?"), LedgerDM->GetDirection(value));
        else if (key == LedgerNumber)
            startsWith(QStringLiteral("l.ledgernumber"), value);
        else if (key == DateFrom || key == DateTo) {
            // Never a condition from text that is no date.
            const QDate day = ParseTypedDate(value);
            if (!day.isValid())
                throw KException(UiText(u"Polje '%1': '%2' nije datum (piše se npr. 01.11.2026).")
                                     .arg(Caption(key), value));
            const QString text = TZConnection::DateText(day);
            if (key == DateFrom)
                bound(QStringLiteral("l.ledgerdatetime >= ?"), TZConnection::DayStart(text));
            else
                bound(QStringLiteral("l.ledgerdatetime <= ?"), TZConnection::DayEnd(text));
        } else if (key == Partner)
            startsWith(QStringLiteral("p.name"), value);
        else if (key == ItemNumber)
            startsWith(QStringLiteral("l.itemnumber"), value);
        else if (key == ItemType)
            startsWith(QStringLiteral("l.itemtype"), value);
        // A user cell holds a picked name; the id picked with it is what counts.
        else if (key == InUser && InUserID > 0)
            bound(QStringLiteral("l.inuserid = ?"), InUserID);
        else if (key == OutUser && OutUserID > 0)
            bound(QStringLiteral("l.outuserid = ?"), OutUserID);
        else if (key == Accepted)
            conditions << flag(QStringLiteral("l.accepted"), value);
        else if (key == Archived)
            conditions << flag(QStringLiteral("l.archived"), value);
        else if (key == PassedOn)
            // IS NOT NULL: SQLite then reads the join as an inner one and starts from the pass-on index.
            conditions << (yes(value) ? QStringLiteral("l1.passonparentid IS NOT NULL")
                                             : QStringLiteral("l1.passonparentid IS NULL"));
        else if (key == Subject) {
            // The words are counted on the search's own connection, which
            // this only reads, to let the rarest one lead.
            const QString words = SubjectCondition(value, params, const_cast<TZConnection *>(connection));
            if (words.isEmpty())
                throw KException(UiText(u"Polje '%1': '%2' ne sadrži nijednu reč (traže se slova ili cifre).")
                                     .arg(Caption(key), value));
            conditions << words;
        } else if (key == Text) {
            if (!connection)
                throw KException(UiText(u"Polje '%1' se traži samo uz vezu sa bazom.").arg(Caption(key)));
            // The partners and types named by the words are read on the search's own connection.
            QVariantList ranking;
            const TTextSearch text = TextSearch(value, *const_cast<TZConnection *>(connection), params, ranking);
            if (text.Condition.isEmpty())
                throw KException(UiText(u"Polje '%1': '%2' ne sadrži nijednu reč (traže se slova ili cifre).")
                                     .arg(Caption(key), value));
            conditions << text.Condition;
            if (order) {
                *order = text.Order;
                if (orderParams)
                    *orderParams = ranking;
            }
        } else if (key == Year) {
            int year = 0;
            if (!ParseLedgerYear(value, year))
                throw KException(UiText(u"Polje '%1': '%2' nije godina (piše se npr. 2026).").arg(Caption(key), value));
            const QString y = QString::number(year);
            bound(QStringLiteral("l.ledgerdatetime >= ?"), TZConnection::DayStart(y + QStringLiteral("-01-01")));
            bound(QStringLiteral("l.ledgerdatetime <= ?"), TZConnection::DayEnd(y + QStringLiteral("-12-31")));
        }
    }
    return conditions.join(QStringLiteral(" AND "));
}
