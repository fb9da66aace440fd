#include "RegisterWindowParts.h"

#include "InterfaceScript.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QPushButton *AddRegisterButton(QDialogButtonBox &buttons, const QString &text, const char *objectName)
{
    QPushButton *button = buttons.addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

void AddRegisterCloseButton(QDialog &window, QDialogButtonBox &buttons)
{
    QPushButton *close = buttons.addButton(UiText(u"Zatvori"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);
    QObject::connect(&buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
}

void LayOutRegisterWindow(QDialog &window, QWidget &table, QDialogButtonBox &buttons, const QString &clerkNote)
{
    auto *layout = new QVBoxLayout(&window);
    if (!clerkNote.isEmpty()) {
        auto *note = new QLabel(clerkNote, &window);
        note->setObjectName(QStringLiteral("readOnlyNote"));
        layout->addWidget(note);
    }
    layout->addWidget(&table, 1);
    layout->addWidget(&buttons);
}
