#pragma once
// The ledger module's own strings, in their declaration order.

#include <QList>
#include <QString>

extern const QString _LEDGER_MOD_NAME;
extern const QString _LEDGER_MOD_DESC;
extern const QString _LEDGER_TYPE;
extern const QString _LEDGER_NUMBER;
extern const QString _LEDGER_DATE_FROM;
extern const QString _LEDGER_DATE_TO;
extern const QString _LEDGER_PARTNER;
extern const QString _LEDGER_ITEM_NUMBER;
extern const QString _LEDGER_IN_USER;
extern const QString _LEDGER_OUT_USER;
extern const QString _LEDGER_ACCEPTED;
extern const QString _LEDGER_ARCHIVED;
extern const QString _LEDGER_PASSEDON;
extern const QString _LEDGER_INPUT_TYPE;
extern const QString _LEDGER_OUTPUT_TYPE;
extern const QString _LEDGER_INTERNAL_TYPE;
extern const QString _LEDGER_POST_TYPE;
extern const QString _LEDGER_INT_MAIL_TYPE;
extern const QString _LEDGER_MAIL_TYPE;
extern const QString _LEDGER_FAX_TYPE;
extern const QString _LEDGER_OPERATER_TYPE;
extern const QString _LEDGER_ADD_ITEM_INF;
extern const QString _LEDGER_PASS_ON_INF;
extern const QString _LEDGER_DEL_ERR;
extern const QString _LEDGER_PASSON_ERR;
extern const QString _SCAN_DOC_DIR_TITLE;
extern const QString _SCAN_DOC_DIR_WRN;

struct TResourceString
{
    const char *Name;
    const QString *Text;
};

// Every string of the module, by name, in declaration order.
const QList<TResourceString> &LedgerResourceStrings();
