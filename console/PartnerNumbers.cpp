#include "PartnerNumbers.h"

#include "InterfaceScript.h"

namespace {

bool allDigits(const QString &text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

int digitAt(const QString &text, qsizetype i)
{
    return text.at(i).unicode() - '0';
}

int pibCheckDigit(const QString &pib)
{
    int carry = 10;
    for (qsizetype i = 0; i < 8; ++i) {
        int sum = (carry + digitAt(pib, i)) % 10;
        if (sum == 0)
            sum = 10;
        carry = sum * 2 % 11;
    }
    return (11 - carry) % 10;
}

int mbCheckDigit(const QString &mb)
{
    static const int weights[7] = {2, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (qsizetype i = 0; i < 7; ++i)
        sum += digitAt(mb, i) * weights[i];
    // Remainder 0 gives 11 and remainder 1 gives 10: both are written 0.
    return (11 - sum % 11) % 11 % 10;
}

// The shape every number shares: only digits, exactly length of them.
QString shapeProblem(const QString &number, qsizetype length, const QString &name)
{
    if (!allDigits(number))
        return UiText(u"%1 sme sadržati samo cifre.").arg(name);
    if (number.size() != length)
        return UiText(u"%1 mora imati %2 cifara.").arg(name).arg(length);
    return {};
}

} // namespace

QString PibProblem(const QString &text)
{
    const QString pib = text.trimmed();
    if (pib.isEmpty())
        return {};
    if (QString problem = shapeProblem(pib, 9, UiText(u"PIB")); !problem.isEmpty())
        return problem;
    if (pibCheckDigit(pib) != digitAt(pib, 8))
        return UiText(u"Kontrolna cifra PIB-a nije ispravna.");
    return {};
}

QString MbProblem(const QString &text)
{
    const QString mb = text.trimmed();
    if (mb.isEmpty())
        return {};
    if (QString problem = shapeProblem(mb, 8, UiText(u"Matični broj")); !problem.isEmpty())
        return problem;
    if (mbCheckDigit(mb) != digitAt(mb, 7))
        return UiText(u"Kontrolna cifra matičnog broja nije ispravna.");
    return {};
}
