#include "ApplicationEvents.h"

#include "Guard.h"

#include <QCoreApplication>

TApplicationEvents::TApplicationEvents(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("ApplicationEvents"));
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

TApplicationEvents::~TApplicationEvents()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool TApplicationEvents::eventFilter(QObject *watched, QEvent *event)
{
    bool handled = false;
    if (OnMessage)
        Guarded([&] { OnMessage(watched, event, handled); });
    return handled || QObject::eventFilter(watched, event);
}
