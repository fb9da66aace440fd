#pragma once
// The list frame's actions for the printed register: "Delovodnik za
// godinu…" (year and directions, then the book in the print preview) and
// "Kontinuitet brojeva…" (the numbering check of a year), and beside them
// "Obrisane stavke…" (DeletedItemsDialog.h). All go to the frame's popup menu.

class TCustomViewerForm;
class QWidget;

void AddRegisterActions(TCustomViewerForm &frame);

void RegisterBookActionExecute(QWidget *owner);
void ContinuityActionExecute(QWidget *owner);
