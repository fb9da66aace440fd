#include "AccountActions.h"

#include "Console.h"
#include "ConsoleSettings.h"
#include "ConsoleWindow.h"
#include "Dialogs.h"
#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "LoginDialog.h"
#include "PasswordDialog.h"
#include "SecurityService.h"

void ChangeOwnPassword(TSecurityService &security, QWidget *parent)
{
    TPasswordDialog dialog(UiText(u"Promena lozinke"), true,
                           [&security](const QString &oldPassword, const QString &newPassword) {
                               security.ChangePassword(oldPassword, newPassword);
                           },
                           parent);
    if (Dialogs().ShowModal(dialog) == QDialog::Accepted)
        MessageDlg(UiText(u"Lozinka je promenjena."), TMsgDlgType::Information, mbOK);
}

void CloseForLogout(std::unique_ptr<TConsoleWindow> &window, TConsole &console, TSecurityService &security)
{
    if (window) {
        try {
            window->SaveLayout();
        } catch (const KException &e) {
            // The next login of this user starts from the defaults; nothing else is lost.
            LogError(e.message());
        }
        window->ReleaseSnapins();
        window->DeleteLeftoverFrames();
        console.RemoveService(IRef<IInterface>(window->StatusService()));
        console.SetActiveGrid(nullptr);
        window.reset();
    }
    security.Logout();
}

bool LogInWithDialog(TSecurityService &security, const QString &iniPath)
{
    TLoginDialog login(&security);
    login.SetLogin(ConsoleSettings::LastLogin(iniPath));
    if (Dialogs().ShowModal(login) != QDialog::Accepted)
        return false;
    ConsoleSettings::SetLastLogin(iniPath, login.Login());
    return true;
}
