#pragma once
// The application message hook: while it exists it sees every event the
// application delivers, to any object, before the receiver does. A form
// that owns one hooks the whole application for exactly its own lifetime.

#include "KExport.h"

#include <QObject>
#include <functional>

class QEvent;

class KCOMMON_EXPORT TApplicationEvents : public QObject
{
    Q_OBJECT
public:
    explicit TApplicationEvents(QObject *owner);
    ~TApplicationEvents() override;

    // handled = true keeps the event from its receiver. Runs guarded.
    std::function<void(QObject *receiver, QEvent *event, bool &handled)> OnMessage;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
