#include "CommonStrings.h"

#include <QStringList>

const QString _YES_CAP = QStringLiteral("Da");
const QString _NO_CAP = QStringLiteral("Ne");
const QString _CMN_NO_MODULE = QStringLiteral("Modul \"%s\" nije učitan.");
const QString _CMN_MOD_SECURITY_NAME = QStringLiteral("Sigurnost");
const QString _CMN_MOD_PARTNER_NAME = QStringLiteral("Partneri");
const QString _CMN_MOD_DOCUMENT_NAME = QStringLiteral("Dokumenti");
const QString _CMN_FIELD_REQUIRED_ERR = QStringLiteral("Polje \"%s\" je obavezno.");
const QString _CMN_FIELD_INVALIDE_ERR = QStringLiteral("Polje \"%s\" nema ispravnu vrednost.");
const QString _CMN_SAVE_CHANGES_PROMT = QStringLiteral("Da li želite da sačuvate izmene?");

QString FormatStr(const QString &format, const QStringList &args)
{
    QString out;
    int next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size()) {
            if (format[i + 1] == u's') {
                out += next < args.size() ? args[next++] : QString();
                ++i;
                continue;
            }
            if (format[i + 1] == u'%') {
                out += u'%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}
