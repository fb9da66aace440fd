#pragma once
// The help contexts of the ledger's windows: each names a section of the
// module's user guide (anchor "c" + the number). The frames and dialogs set
// theirs when they are made; the registration unit registers the guide.

#include <QList>
#include <QString>

enum TLedgerHelpContext : int {
    LedgerListHelp = 19000,
    LedgerSearchHelp = 19001,
    LedgerDetailHelp = 19002,
    LedgerPickerHelp = 19003,
    LedgerReportsHelp = 19004,
    LedgerHandoverHelp = 19008,
};

// Every context above.
QList<int> LedgerHelpContexts();

// The guide in the module's resources and the help window's title for it.
QString LedgerHelpGuide();
QString LedgerHelpTitle();

// Start-up and shut-down of the guide's registration.
void RegisterLedgerHelp();
void UnregisterLedgerHelp();
