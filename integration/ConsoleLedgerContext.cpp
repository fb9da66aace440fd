#include "ConsoleLedgerContext.h"

#include "integration/GlobalConsole.h"

bool TConsoleLedgerContext::FindService(const QUuid &iid, void **out) const
{
    return GlobalConsole && GlobalConsole->QuerySnapin(iid, out);
}

void TConsoleLedgerContext::ShowStatus(const QString &text, int milliseconds)
{
    if (const IRef<IStatusBar> bar = ConsoleService<IStatusBar>())
        bar->ShowStatusMessage(text, milliseconds);
}
