#pragma once
// The host's default exception display. Every action, button, key and grid
// handler runs through Guarded(), so an exception that escapes a handler is
// shown in an error dialog and never crosses Qt's event loop.

#include "KExport.h"

#include <QObject>
#include <functional>

class QAction;
class QAbstractButton;

// Runs fn; shows any escaped exception as an error message. Returns false
// when an exception was caught.
KCOMMON_EXPORT bool Guarded(const std::function<void()> &fn);

// Connects an action's trigger / a button's click to a guarded handler.
KCOMMON_EXPORT QMetaObject::Connection ConnectGuarded(QAction *action, std::function<void()> handler);
KCOMMON_EXPORT QMetaObject::Connection ConnectGuarded(QAbstractButton *button, std::function<void()> handler);
