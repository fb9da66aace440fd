#include "EditButtons.h"

#include "Guard.h"
#include "InterfaceScript.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

QDialogButtonBox *EditButtons(QDialog &dialog, std::function<void()> trySave, const QString &saveName)
{
    auto *buttons = new QDialogButtonBox(&dialog);
    // Not AcceptRole: the box would close the dialog before the save is known.
    QPushButton *save = buttons->addButton(UiText(u"&Sačuvaj"), QDialogButtonBox::ActionRole);
    save->setObjectName(saveName);
    save->setDefault(true);
    QPushButton *cancel = buttons->addButton(UiText(u"Otkaži"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    ConnectGuarded(save, std::move(trySave));
    return buttons;
}

QLineEdit *PasswordLine(const QString &objectName, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}
