#pragma once
// The parts every register window is built of: its buttons, none of them the
// default (Enter in the list opens the row), "Zatvori", and the layout of a
// note for a clerk above the table and the buttons below it.

#include <QString>

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QWidget;

// An action button named objectName.
QPushButton *AddRegisterButton(QDialogButtonBox &buttons, const QString &text, const char *objectName);
// "Zatvori": rejects window.
void AddRegisterCloseButton(QDialog &window, QDialogButtonBox &buttons);
// clerkNote above the table when not empty (a clerk only reads), the table,
// then the buttons.
void LayOutRegisterWindow(QDialog &window, QWidget &table, QDialogButtonBox &buttons, const QString &clerkNote);
