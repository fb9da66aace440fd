#include "DataScript.h"

#include "InterfaceScript.h"

#include <QComboBox>

QString PrintedData(const QString &text, const TDataScript &script)
{
    return script ? DataInScript(text, *script) : text;
}

namespace {

// The combo's data: -1 as typed, else the script's value.
constexpr int kAsTyped = -1;

} // namespace

QString DataScriptCaption()
{
    return UiText(u"Pi&smo podataka:");
}

QComboBox *NewDataScriptCombo(QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("DataScriptCombo"));
    combo->addItem(UiText(u"kako je uneto"), kAsTyped);
    combo->addItem(UiText(u"u ćirilici"), int(TScript::Cyrillic));
    combo->addItem(UiText(u"u latinici"), int(TScript::Latin));
    combo->setToolTip(UiText(u"Pismo kojim se štampaju podaci: kako su uneti, ili svi u jednom pismu."));
    return combo;
}

TDataScript ChosenDataScript(const QComboBox &combo)
{
    const int value = combo.currentData().toInt();
    if (value == kAsTyped)
        return std::nullopt;
    return TScript(value);
}
