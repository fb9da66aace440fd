#pragma once
// "Podešavanja": the logged-in user's own settings, for now the script the
// interface speaks in. "U redu" stores the choice for the user and switches
// the interface to it at once (windows opened afterwards are in it, the
// main window redraws); "Otkaži" and Esc leave both as they were.

#include "InterfaceScript.h"

#include <QDialog>

class QRadioButton;
class TZConnection;
class TSecurityService;

class TSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    // Offers the user's stored script.
    TSettingsDialog(TZConnection &connection, qint64 userID, QWidget *parent = nullptr);

    TScript ChosenScript() const;
    void ChooseScript(TScript script);
    // What "U redu" does: stores, switches, closes. A database's refusal
    // throws (the guarded button shows it) and keeps the dialog open.
    void Save();

private:
    TZConnection &m_connection;
    qint64 m_userID;
    QRadioButton *m_latin;
    QRadioButton *m_cyrillic;
};

// "Datoteka → Podešavanja…" for the user logged in at security.
void EditOwnSettings(TSecurityService &security, QWidget *parent);
