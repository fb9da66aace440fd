#include "LedgerHelpContexts.h"

#include "Help.h"
#include "InterfaceScript.h"

QList<int> LedgerHelpContexts()
{
    return {LedgerListHelp, LedgerSearchHelp, LedgerDetailHelp, LedgerPickerHelp, LedgerReportsHelp, LedgerHandoverHelp};
}

QString LedgerHelpGuide()
{
    return QStringLiteral(":/ledger/help/vodic.html");
}

QString LedgerHelpTitle()
{
    return UiText(u"Uputstvo — Delovodnik");
}

void RegisterLedgerHelp()
{
    // A module without its guide still works; F1 then says there is none.
    if (!RegisterHelpGuide(LedgerHelpGuide(), LedgerHelpTitle()))
        qWarning("Uputstvo delovodnika nije pronađeno u resursima modula.");
}

void UnregisterLedgerHelp()
{
    UnregisterHelpGuide(LedgerHelpGuide());
}
