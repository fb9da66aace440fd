#pragma once
// The dialog seam on the desktop: Qt's message boxes, pickers and file
// dialogs in Serbian, the print preview and the help window. Loading the
// widgets library makes them the seam's default (SetDefaultDialogs).

#include "Dialogs.h"
#include "KExport.h"

#include <memory>

KCOMMON_EXPORT std::unique_ptr<IDialogs> MakeDesktopDialogs();
