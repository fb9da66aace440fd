#pragma once
// "Provera integriteta…" in the console's "Pomoć" menu: walks the history's
// hash chain (HistoryChain.h) while the dialog seam shows its progress with
// "Otkaži", then says in words what it found and the chain's head. For
// administrators: a clerk gets a refusal that says so.

class QWidget;

void HistoryCheckActionExecute(QWidget *owner);
