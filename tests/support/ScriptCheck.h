#pragma once
// Whether a window speaks the Cyrillic interface throughout: the texts a user
// reads that still hold Latin letters.
//
// Read: window titles, labels, buttons, group boxes, tabs, actions and menus
// (with their tooltips and status tips), placeholders, spin box prefixes and
// suffixes, the items of plain combo boxes, the column headers of views and
// the status bar's message. Not read: data shown as typed (the text of line
// and text edits, data-aware controls' values and combo items, grid cells).
// Latin that InterfaceText keeps in a Cyrillic text (placeholders, file names,
// options, program names) is no fault.

#include <QString>
#include <QStringList>
#include <QStringView>

class QWidget;

// Whether text holds a Latin letter a Cyrillic interface would not keep.
bool HasForeignLatin(QStringView text);

// The offending texts of window and of every widget in it that would be
// visible with it, each as "where: text". dataTexts are data that interface
// texts may hold (a user's name in a title): they are taken out before the
// check.
QStringList LatinTextsIn(const QWidget &window, const QStringList &dataTexts = {});
