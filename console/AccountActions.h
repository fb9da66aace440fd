#pragma once
// The logged-in user's own entries of the "Datoteka" menu: "Promena
// lozinke", and "Odjava" with the login dialog that follows it. The main
// loop closes the window and shows the next one; these are its steps.

#include <QString>
#include <memory>

class QWidget;
class TConsole;
class TConsoleWindow;
class TSecurityService;

// "Promena lozinke": the old password, the new one twice.
void ChangeOwnPassword(TSecurityService &security, QWidget *parent);

// After "Odjava", outside the event loop: saves the window's layout, lets go
// of its snap-ins, their frames and its status service, deletes it and logs
// the user out. The modules stay loaded for the next window.
void CloseForLogout(std::unique_ptr<TConsoleWindow> &window, TConsole &console, TSecurityService &security);

// The login dialog, offering the last login of iniPath; true when someone
// logged in (then remembered as the last login), false when cancelled.
bool LogInWithDialog(TSecurityService &security, const QString &iniPath);
