#pragma once
// The script a print gives its data in, as the user chose it: "kako je
// uneto" (each text as typed), "u ćirilici" or "u latinici" (every text
// through DataInScript). The print's own words follow the interface's
// script either way (UiText); only stored data is transliterated, and only as
// it is printed.

#include "KExport.h"

#include <QString>
#include <optional>

class QComboBox;
class QWidget;
// InterfaceScript.h's; a print's choice needs no more than its name.
enum class TScript;

// Empty: as typed.
using TDataScript = std::optional<TScript>;

// The text as the print gives it.
KCOMMON_EXPORT QString PrintedData(const QString &text, const TDataScript &script);

// A combo box offering the three choices, "kako je uneto" first and chosen,
// and its label's text ("Pismo podataka:", with a mnemonic).
KCOMMON_EXPORT QString DataScriptCaption();
KCOMMON_EXPORT QComboBox *NewDataScriptCombo(QWidget *parent);
// The choice a combo box of NewDataScriptCombo holds.
KCOMMON_EXPORT TDataScript ChosenDataScript(const QComboBox &combo);
