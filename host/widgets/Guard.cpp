#include "Guard.h"

#include "Dialogs.h"
#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QAbstractButton>
#include <QAction>

bool Guarded(const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const EAbort &) {
        return false;
    } catch (const EDatabaseError &e) {
        LogError(e.message(), e.details());
        Dialogs().ErrorDlg(e.message(), e.details());
    } catch (const KException &e) {
        LogError(e.message());
        MessageDlg(e.message(), TMsgDlgType::Error, mbOK);
    } catch (const std::exception &e) {
        LogError(QString::fromUtf8(e.what()));
        MessageDlg(QString::fromUtf8(e.what()), TMsgDlgType::Error, mbOK);
    } catch (...) {
        LogError(QStringLiteral("Nepoznata greška."));
        MessageDlg(UiText(u"Nepoznata greška."), TMsgDlgType::Error, mbOK);
    }
    return false;
}

QMetaObject::Connection ConnectGuarded(QAction *action, std::function<void()> handler)
{
    return QObject::connect(action, &QAction::triggered, action, [h = std::move(handler)] { Guarded(h); });
}

QMetaObject::Connection ConnectGuarded(QAbstractButton *button, std::function<void()> handler)
{
    return QObject::connect(button, &QAbstractButton::clicked, button, [h = std::move(handler)] { Guarded(h); });
}
