#pragma once
// The list frame's actions for closing the year: "Zaključenje delovodnika…"
// (YearClosingDialog.h) and "Otvori ponovo…" (ReopenYearDialog.h), in the
// frame's popup menu below the register's printed output. Both are for
// administrators: a clerk gets a refusal that says so.

class TCustomViewerForm;
class QWidget;

void AddYearClosingActions(TCustomViewerForm &frame);

void YearClosingActionExecute(QWidget *owner);
void ReopenYearActionExecute(QWidget *owner);
