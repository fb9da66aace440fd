#include "LedgerYearRule.h"

#include "InterfaceScript.h"

#include <QRegularExpression>

std::optional<int> LedgerNumberYear(const QString &number)
{
    static const QRegularExpression year(QStringLiteral(R"(/\s*(\d{2})\s*(-\s*\d+\s*)?$)"));
    const QRegularExpressionMatch match = year.match(number.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

QString NumberYearRefusal(const QString &number, const QDateTime &when)
{
    if (!when.isValid())
        return {};
    const int year = when.date().year() % 100;
    const std::optional<int> carried = LedgerNumberYear(number);
    if (carried && *carried == year)
        return {};
    return UiText(u"Delovodni broj %1 ne nosi godinu datuma %2: broj stavke iz %3. godine završava se na /%4.")
        .arg(number.trimmed(), when.toString(QStringLiteral("dd.MM.yyyy")))
        .arg(when.date().year())
        .arg(year, 2, 10, QLatin1Char('0'));
}

bool IsFarFuture(const QDateTime &when, const QDateTime &now)
{
    return when.isValid() && when > now.addDays(1);
}

QString FutureDateQuestion(const QDateTime &when)
{
    return UiText(u"Datum %1 je više od jednog dana posle današnjeg.\nSačuvati stavku sa tim datumom?")
        .arg(when.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
}
