#pragma once
// F1 help. A module registers the user guide it ships (an HTML page in its
// resources, sections anchored by name) and gives its frames and dialogs
// help contexts; F1 anywhere opens the guide at the section of the nearest
// context above the focus, through the dialog seam.

#include "KExport.h"

#include <QString>
#include <QStringList>

class QApplication;
class QWidget;

// Adds a guide; the one registered last answers contexts no guide names.
// False, and nothing registered, when the resource cannot be read.
KCOMMON_EXPORT bool RegisterHelpGuide(const QString &resourcePath, const QString &title);
KCOMMON_EXPORT void UnregisterHelpGuide(const QString &resourcePath);
// The anchors a registered guide has; empty for an unknown one.
KCOMMON_EXPORT QStringList HelpGuideAnchors(const QString &resourcePath);

// A context of 0 removes the widget's own.
KCOMMON_EXPORT void SetHelpContext(QWidget *widget, int context);
// The widget's context or its nearest parent's; 0 when there is none.
KCOMMON_EXPORT int HelpContextOf(const QWidget *widget);
// "c19002" for 19002; empty for 0.
KCOMMON_EXPORT QString HelpAnchor(int context);

// Opens the guide that has the section of from's context, at that section;
// at its top when no guide has one. A message when no guide is registered.
KCOMMON_EXPORT void ShowHelp(QWidget *from);

// F1 in any window of the application (modal dialogs included) calls
// ShowHelp for the focused widget. Installing twice installs once.
KCOMMON_EXPORT void InstallHelpKey(QApplication &app);
