#pragma once
// What the console's status bar says: the number of items in the list, and
// the modules' short messages through the IStatusBar service.

#include "KInterfaces.h"

#include <QPointer>
#include <QStatusBar>
#include <QString>


// "1 stavka", "3 stavke", "1.234 stavki": thousands separated by '.', the
// noun in the Serbian plural the number asks for.
QString ItemCountText(int count);

// Forwards to a status bar that may be gone (then says nothing).
class TStatusBarService : public TInterfacedObject, public IStatusBar
{
public:
    explicit TStatusBarService(QStatusBar *bar) : m_bar(bar) {}

    bool QueryInterface(const QUuid &iid, void **out) override;
    void ShowStatusMessage(const QString &text, int timeoutMs) override;

private:
    QPointer<QStatusBar> m_bar;
};
