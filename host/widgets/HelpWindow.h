#pragma once
// The window that shows a user guide: one for the whole application, made
// on first use, raised and moved to the asked section on every later one.
// Over a modal dialog it belongs to that dialog, so the dialog does not
// block it. It deletes itself when closed. The guide and the title, written
// in Latin, are shown in the interface's script (UiText, InterfaceText); the
// guide's key names, marked <kbd>, stay as the keys print them.

#include "KExport.h"

#include <QWidget>

class QTextBrowser;
enum class TScript; // InterfaceScript.h

class KCOMMON_EXPORT THelpWindow : public QWidget
{
    Q_OBJECT
public:
    // resource: a guide in the resources (":/..."); anchor: a section, or
    // empty for the top.
    static THelpWindow *Show(const QString &resource, const QString &title, const QString &anchor);
    // The window while it is open, else null.
    static THelpWindow *Instance();

    QTextBrowser *Browser() const { return m_browser; }

private:
    THelpWindow();
    void open(const QString &resource, const QString &anchor);

    QTextBrowser *m_browser;
    TScript m_script; // the guide's as last loaded
};
