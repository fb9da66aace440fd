#include "SettingsDialog.h"

#include "Dialogs.h"
#include "Guard.h"
#include "KException.h"
#include "SecurityService.h"
#include "UserSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSettingsDialog::TSettingsDialog(TZConnection &connection, qint64 userID, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_userID(userID)
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(UiText(u"Podešavanja"));
    m_latin = new QRadioButton(UiText(u"&Latinica"), this);
    m_latin->setObjectName(QStringLiteral("latinButton"));
    m_cyrillic = new QRadioButton(UiText(u"Ć&irilica"), this);
    m_cyrillic->setObjectName(QStringLiteral("cyrillicButton"));
    auto *scripts = new QVBoxLayout;
    scripts->addWidget(m_latin);
    scripts->addWidget(m_cyrillic);
    auto *form = new QFormLayout;
    form->addRow(UiText(u"Pismo interfejsa:"), scripts);

    auto *buttons = new QDialogButtonBox(this);
    // Not AcceptRole: the dialog closes only once the choice is stored.
    QPushButton *ok = buttons->addButton(UiText(u"U redu"), QDialogButtonBox::ActionRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(UiText(u"Otkaži"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ConnectGuarded(ok, [this] { Save(); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(320); // the title whole in the frame, in either script
    ChooseScript(UserSettings::Script(m_connection, m_userID));
}

TScript TSettingsDialog::ChosenScript() const
{
    return m_cyrillic->isChecked() ? TScript::Cyrillic : TScript::Latin;
}

void TSettingsDialog::ChooseScript(TScript script)
{
    (script == TScript::Cyrillic ? m_cyrillic : m_latin)->setChecked(true);
}

void TSettingsDialog::Save()
{
    const TScript script = ChosenScript();
    UserSettings::SaveScript(m_connection, m_userID, script);
    SetInterfaceScript(script);
    accept();
}

void EditOwnSettings(TSecurityService &security, QWidget *parent)
{
    TUserDesc user;
    if (!security.GetCurrentUser(user, 0) || user.UserID <= 0)
        throw KException(UiText(u"Podešavanja su korisnikova: niko nije prijavljen."));
    TSettingsDialog dialog(*security.GetConnection(), user.UserID, parent);
    Dialogs().ShowModal(dialog);
}
