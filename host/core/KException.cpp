#include "KException.h"

#include "CoreText.h"

namespace {

QString shortMessage(const QString &code, const QString &serverText)
{
    static const struct { const char *codes; const char *text; } known[] = {
        {" 1062 2067 1555 ", "Takav zapis već postoji u bazi podataka."},
        {" 2006 2013 1927 1053 2055 ", "Veza sa serverom baze podataka je prekinuta."},
        {" 1205 5 6 261 517 ", "Baza podataka je zauzeta drugom izmenom; pokušajte ponovo."},
        {" 1406 18 ", "Tekst je predugačak za kolonu u bazi podataka."},
        {" 3819 4025 275 ", "Vrednost ne zadovoljava pravilo baze podataka."},
        {" 1048 1299 ", "Obavezna vrednost nije upisana u bazu podataka."},
        {" 1044 1142 1143 1227 ", "Nalog baze podataka nema pravo na ovu naredbu."},
    };
    const QString padded = u' ' + code + u' ';
    for (const auto &k : known)
        if (QLatin1String(k.codes).contains(padded))
            return CoreUi(QString::fromUtf8(k.text));
    return serverText.isEmpty() ? CoreUi(u"Baza podataka je odbila naredbu.")
                                : CoreUi(u"Baza podataka je odbila naredbu: %1").arg(serverText.left(200));
}

} // namespace

EDatabaseError EDatabaseError::FromServer(const QString &serverText, const QString &nativeCode, const QString &sql)
{
    QString details = CoreUi(u"Baza: %1\nKod: %2").arg(serverText, nativeCode);
    if (!sql.isEmpty())
        details += CoreUi(u"\nNaredba: ") + sql;
    return EDatabaseError(shortMessage(nativeCode, serverText), nativeCode, details);
}
