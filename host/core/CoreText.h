#pragma once
// The few texts of core a user reads (database refusals, files that cannot be
// read) in the interface's script. The script lives in host/text, a layer
// above core: the text library hands its UiText() to core when it is loaded, and
// until then, or without it, the Latin text is given as it is.

#include "KExport.h"

#include <QString>
#include <QStringView>

using TInterfaceTextFunction = QString (*)(QStringView latin);

// A Latin interface text of core in the script of the moment.
KCOMMON_EXPORT QString CoreUi(QStringView latin);
// Set by the text library; nullptr gives the Latin text back.
KCOMMON_EXPORT void SetCoreInterfaceText(TInterfaceTextFunction function);
