#pragma once
// The script the interface speaks in, per user: Serbian Latin or Cyrillic.
//
// Interface texts are written once, in Latin, in the code. UiText() gives such a
// text in the script of the moment: every caption, menu, message, status
// text, report heading, CSV header and command-line message goes through it
// (texts from .ui layouts and Qt's own dialogs go through the translator
// InstallSerbianTexts installs, which asks the same script). Stored data is
// never passed to UiText(): it is shown as typed.
//
// InterfaceText() keeps what is not Serbian prose in Latin: placeholders
// (%1, %L2, %n), HTML tags and entities, command-line options (--script),
// file names, patterns and addresses (a word holding '.', '/', '\', '*',
// '@' or ':' between letters), words with q, w, x or y and a short list of
// names (SQLite, MariaDB, Galera, Tesseract, Qt, UTF-8). The '&' of a
// mnemonic stays in front of its letter.

#include "KExport.h"

#include <QString>
#include <QStringView>
#include <optional>

enum class TScript { Latin, Cyrillic };

// The script of the moment; Latin until set.
KCOMMON_EXPORT TScript InterfaceScript();
// Sets the script: UiText() follows at once, the default locale becomes Serbian
// in that script (calendars, month names) and, with an application running,
// every widget gets a LanguageChange event. Windows made afterwards are in
// the new script; a window that wants to follow at once redraws on that event.
KCOMMON_EXPORT void SetInterfaceScript(TScript script);

// A Latin interface text in the script of the moment.
KCOMMON_EXPORT QString UiText(QStringView latin);
// A Latin interface text in script.
KCOMMON_EXPORT QString InterfaceText(QStringView latin, TScript script);

// Data written in script, for a print the user asked "u ćirilici" or
// "u latinici": every Serbian word is transliterated (Cyrillic → Latin is
// exact; Latin → Cyrillic as SerbianToCyrillic), with the same words kept
// in Latin as InterfaceText keeps.
KCOMMON_EXPORT QString DataInScript(QStringView text, TScript script);

// "latin" / "cyrillic" (also "latinica", "cirilica", "ćirilica", "lat",
// "cyr", any case) as written on the command line and in settings.
KCOMMON_EXPORT std::optional<TScript> ScriptFromName(QStringView name);
// "latin" or "cyrillic".
KCOMMON_EXPORT QString ScriptName(TScript script);
