#pragma once
// The console's layout per login: window geometry and maximised state, the
// splitters, and each snap-in's list columns (width, order, hidden). Kept in
// a layout file beside the console's ini, one section per login. A value that
// does not read back (a damaged file, a screen that is no longer there) is
// ignored and the default stays.

#include <QSize>
#include <QString>

class QMainWindow;
class TDBGrid;
class TIniFile;

namespace ConsoleLayout {

// The first start's window size: wanted, but never beyond the primary
// screen's free area less the window frame (a 1024 x 700 desk sees the
// whole window, its status bar included).
QSize FirstSize(const QSize &wanted);

// <ini's folder>/<ini's base name>-layout.ini
QString FilePath(const QString &iniPath);

void SaveWindow(TIniFile &ini, const QString &login, const QMainWindow &window);
// Before the window is shown; it shows maximised when it was.
void RestoreWindow(const TIniFile &ini, const QString &login, QMainWindow &window);

// name: the snap-in's name.
void SaveGrid(TIniFile &ini, const QString &login, const QString &name, const TDBGrid &grid);
void RestoreGrid(const TIniFile &ini, const QString &login, const QString &name, TDBGrid &grid);

} // namespace ConsoleLayout
