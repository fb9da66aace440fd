#pragma once
// One user of the "Korisnici" window: first and last name, role and
// whether the account is active; a new user also gets a login and a
// password typed twice. save stores what was typed and throws with a
// message on a refusal; the dialog then stays open with what was typed.

#include "UserStore.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

class TUserEditDialog : public QDialog
{
    Q_OBJECT
public:
    using TSave = std::function<void(const TUserRecord &user, const QString &password)>;
    // user.UserID 0: a new user.
    TUserEditDialog(const TUserRecord &user, TSave save, QWidget *parent = nullptr);

    // The user as typed, with the id it was opened with.
    TUserRecord User() const;
    // What the save button does; public so tests can press it.
    void TrySave();

    QLineEdit *LoginEdit = nullptr; // read only for an existing user
    QLineEdit *FirstNameEdit = nullptr;
    QLineEdit *LastNameEdit = nullptr;
    QComboBox *RoleCombo = nullptr;  // 0 Službenik, 1 Administrator
    QCheckBox *ActiveCheck = nullptr;
    QLineEdit *PasswordEdit = nullptr; // null for an existing user
    QLineEdit *RepeatEdit = nullptr;

private:
    qint64 m_userID;
    TSave m_save;
};
