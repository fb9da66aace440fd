#pragma once
// The host's common strings, shared by every module. They keep their Latin
// text: whoever shows one passes it through UiText() (InterfaceScript.h).

#include "KExport.h"

#include <QString>

KCOMMON_EXPORT extern const QString _YES_CAP;
KCOMMON_EXPORT extern const QString _NO_CAP;
// Format with one argument: the name of the missing module.
KCOMMON_EXPORT extern const QString _CMN_NO_MODULE;
KCOMMON_EXPORT extern const QString _CMN_MOD_SECURITY_NAME;
KCOMMON_EXPORT extern const QString _CMN_MOD_PARTNER_NAME;
KCOMMON_EXPORT extern const QString _CMN_MOD_DOCUMENT_NAME;
// Format with one argument: the field's display label.
KCOMMON_EXPORT extern const QString _CMN_FIELD_REQUIRED_ERR;
KCOMMON_EXPORT extern const QString _CMN_FIELD_INVALIDE_ERR;
KCOMMON_EXPORT extern const QString _CMN_SAVE_CHANGES_PROMT;

// Delphi-style formatting of the host's format strings: each %s takes the
// next argument.
KCOMMON_EXPORT QString FormatStr(const QString &format, const QStringList &args);
