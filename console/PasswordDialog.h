#pragma once
// A new password typed twice, and for the user's own change the old one
// first. save stores it and throws with a message on a refusal; the dialog
// then stays open with what was typed.

#include <QDialog>
#include <functional>

class QLineEdit;

// What either password form says when the two new passwords differ.
extern const QString PasswordsDifferText;

class TPasswordDialog : public QDialog
{
    Q_OBJECT
public:
    using TSave = std::function<void(const QString &oldPassword, const QString &newPassword)>;
    // askOld: "Promena lozinke" of the logged-in user; else an administrator's reset.
    TPasswordDialog(const QString &title, bool askOld, TSave save, QWidget *parent = nullptr);

    // What the save button does; public so tests can press it.
    void TrySave();

    QLineEdit *OldEdit = nullptr; // null without askOld
    QLineEdit *NewEdit = nullptr;
    QLineEdit *RepeatEdit = nullptr;

private:
    TSave m_save;
};
