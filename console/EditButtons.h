#pragma once
// What every register's edit form ends with: "Sačuvaj", the default button,
// which runs trySave (the form closes only once its row is stored, so a
// refused save keeps what was typed), and "Otkaži", which like Esc rejects.

#include <QString>
#include <functional>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QWidget;

QDialogButtonBox *EditButtons(QDialog &dialog, std::function<void()> trySave,
                              const QString &saveName = QStringLiteral("saveButton"));

// A line whose text is a password: shown as dots.
QLineEdit *PasswordLine(const QString &objectName, QWidget *parent);
