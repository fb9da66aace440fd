#pragma once
// Display code (a paint, a control following its field) must not throw, yet
// what a text handler threw must not vanish either: it goes to the log, once
// per distinct message so that repainting does not flood it.

#include "KExport.h"

#include <exception>

class TField;

KCOMMON_EXPORT void LogDisplayError(const TField *field, const std::exception &error);
