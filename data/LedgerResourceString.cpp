#include "LedgerResourceString.h"

const QString _LEDGER_MOD_NAME = QStringLiteral("Delovodnik");
const QString _LEDGER_MOD_DESC = QStringLiteral("Upravljanje delovodnikom");
const QString _LEDGER_TYPE = QStringLiteral("Tip");
const QString _LEDGER_NUMBER = QStringLiteral("Broj");
const QString _LEDGER_DATE_FROM = QStringLiteral("Od datuma");
const QString _LEDGER_DATE_TO = QStringLiteral("Do datuma");
const QString _LEDGER_PARTNER = QStringLiteral("Partner");
const QString _LEDGER_ITEM_NUMBER = QStringLiteral("Broj dokumenta");
const QString _LEDGER_IN_USER = QStringLiteral("Upućeno od");
const QString _LEDGER_OUT_USER = QStringLiteral("Namenjeno");
const QString _LEDGER_ACCEPTED = QStringLiteral("Prihvaćeno");
const QString _LEDGER_ARCHIVED = QStringLiteral("Arhivirano");
const QString _LEDGER_PASSEDON = QStringLiteral("Prosleđeno");
const QString _LEDGER_INPUT_TYPE = QStringLiteral("Ulazni");
const QString _LEDGER_OUTPUT_TYPE = QStringLiteral("Izlazni");
const QString _LEDGER_INTERNAL_TYPE = QStringLiteral("Interni");
const QString _LEDGER_POST_TYPE = QStringLiteral("Poštom");
const QString _LEDGER_INT_MAIL_TYPE = QStringLiteral("Dostavnicom");
const QString _LEDGER_MAIL_TYPE = QStringLiteral("E-mailom");
const QString _LEDGER_FAX_TYPE = QStringLiteral("Faksom");
const QString _LEDGER_OPERATER_TYPE = QStringLiteral("Preko operatera");
const QString _LEDGER_ADD_ITEM_INF = QStringLiteral("Novi prilog je kreiran.");
const QString _LEDGER_PASS_ON_INF = QStringLiteral("Nova stavka u delovodniku je kreirana.");
const QString _LEDGER_DEL_ERR = QStringLiteral("Ne možete izbrisati prihvaćenu stavku ili stavku koju niste kreirali.");
const QString _LEDGER_PASSON_ERR = QStringLiteral("Ne možete predati stavku jer već postoji prosleđena stavka.");
const QString _SCAN_DOC_DIR_TITLE = QStringLiteral("Direktorijum skeniranih dokumenata");
const QString _SCAN_DOC_DIR_WRN = QStringLiteral("Direktorijum skeniranih dokumenata ne postoji.\r\n"
                                                 "Da li želite da ga program kreira?\r\n"
                                                 "Ako kliknete Ne otvoriće se dijalog za izbor postojećeg direktorijuma.");

const QList<TResourceString> &LedgerResourceStrings()
{
#define R(name) TResourceString{#name, &name}
    static const QList<TResourceString> all{
        R(_LEDGER_MOD_NAME), R(_LEDGER_MOD_DESC), R(_LEDGER_TYPE), R(_LEDGER_NUMBER), R(_LEDGER_DATE_FROM),
        R(_LEDGER_DATE_TO), R(_LEDGER_PARTNER), R(_LEDGER_ITEM_NUMBER), R(_LEDGER_IN_USER), R(_LEDGER_OUT_USER),
        R(_LEDGER_ACCEPTED), R(_LEDGER_ARCHIVED), R(_LEDGER_PASSEDON), R(_LEDGER_INPUT_TYPE), R(_LEDGER_OUTPUT_TYPE),
        R(_LEDGER_INTERNAL_TYPE), R(_LEDGER_POST_TYPE), R(_LEDGER_INT_MAIL_TYPE), R(_LEDGER_MAIL_TYPE),
        R(_LEDGER_FAX_TYPE), R(_LEDGER_OPERATER_TYPE), R(_LEDGER_ADD_ITEM_INF), R(_LEDGER_PASS_ON_INF),
        R(_LEDGER_DEL_ERR), R(_LEDGER_PASSON_ERR), R(_SCAN_DOC_DIR_TITLE), R(_SCAN_DOC_DIR_WRN)};
#undef R
    return all;
}
