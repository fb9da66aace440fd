#pragma once
#include <QtCore/qglobal.h>

#if defined(KCOMMON_BUILD)
#  define KCOMMON_EXPORT Q_DECL_EXPORT
#else
#  define KCOMMON_EXPORT Q_DECL_IMPORT
#endif
