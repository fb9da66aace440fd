#include "ConsoleLayout.h"

#include "DBGrid.h"
#include "IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>
#include <optional>

namespace ConsoleLayout {

namespace {

constexpr int kMaxPixels = 20000; // anything larger is no layout but damage

QString joinInts(const QList<int> &values)
{
    QStringList parts;
    for (int v : values)
        parts << QString::number(v);
    return parts.join(u',');
}

// Exactly count non-negative numbers below kMaxPixels (any count when count is 0), or nothing.
std::optional<QList<int>> splitInts(const QString &text, int count)
{
    QList<int> values;
    for (const QString &part : text.split(u',')) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        if (!ok || v < 0 || v > kMaxPixels)
            return std::nullopt;
        values << v;
    }
    if (values.isEmpty() || (count > 0 && values.size() != count))
        return std::nullopt;
    return values;
}

// A window that can be reached: a fair part of it on some screen.
bool onScreen(const QRect &rect)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(rect);
        if (seen.width() >= 100 && seen.height() >= 50)
            return true;
    }
    return false;
}

QString gridKey(const QString &name)
{
    return QStringLiteral("Columns.") + name;
}

} // namespace

QSize FirstSize(const QSize &wanted)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    // Room for the title bar and the frame a window manager adds.
    const QSize room = screen->availableGeometry().size() - QSize(16, 48);
    return wanted.boundedTo(room.expandedTo(QSize(640, 400)));
}

QString FilePath(const QString &iniPath)
{
    const QFileInfo ini(iniPath);
    return ini.absoluteDir().filePath(ini.completeBaseName() + QStringLiteral("-layout.ini"));
}

void SaveWindow(TIniFile &ini, const QString &login, const QMainWindow &window)
{
    const bool maximized = window.isMaximized();
    // The size it returns to; the geometry itself until it was first shown.
    const QRect normal = maximized && window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    ini.SetValue(login, QStringLiteral("Geometry"), joinInts({normal.x(), normal.y(), normal.width(), normal.height()}));
    ini.SetValue(login, QStringLiteral("Maximized"), maximized ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QSplitter *splitter : window.findChildren<QSplitter *>())
        if (!splitter->objectName().isEmpty())
            ini.SetValue(login, QStringLiteral("Splitter.") + splitter->objectName(), joinInts(splitter->sizes()));
}

void RestoreWindow(const TIniFile &ini, const QString &login, QMainWindow &window)
{
    // Negative positions are legal on a screen left of the primary one.
    QList<int> g;
    for (const QString &part : ini.Value(login, QStringLiteral("Geometry")).split(u',')) {
        bool ok = false;
        g << part.trimmed().toInt(&ok);
        if (!ok || qAbs(g.last()) > kMaxPixels)
            g.clear();
        if (g.isEmpty())
            break;
    }
    if (g.size() == 4 && g[2] >= 200 && g[3] >= 150 && onScreen(QRect(g[0], g[1], g[2], g[3]))) {
        window.setGeometry(g[0], g[1], g[2], g[3]); // as geometry() gave it: without the frame
    }
    if (ini.Value(login, QStringLiteral("Maximized")).trimmed() == QLatin1String("1"))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    for (QSplitter *splitter : window.findChildren<QSplitter *>()) {
        if (splitter->objectName().isEmpty())
            continue;
        const auto sizes = splitInts(ini.Value(login, QStringLiteral("Splitter.") + splitter->objectName()),
                                     splitter->count());
        // All collapsed would hide the panels for good.
        if (sizes && std::any_of(sizes->begin(), sizes->end(), [](int v) { return v > 0; }))
            splitter->setSizes(*sizes);
    }
}

// Columns in screen order: "field:width", hidden ones with a leading '-'.
void SaveGrid(TIniFile &ini, const QString &login, const QString &name, const TDBGrid &grid)
{
    QStringList parts;
    const QList<TColumn> &columns = grid.Columns();
    for (int i : grid.VisualOrder()) {
        if (i >= columns.size())
            continue;
        const TColumn &c = columns.at(i);
        parts << (c.Visible ? QString() : QStringLiteral("-")) + c.FieldName + u':'
                     + QString::number(c.Width > 0 ? c.Width : TDBGrid::DefaultColumnWidth);
    }
    ini.SetValue(login, gridKey(name), parts.join(u','));
}

void RestoreGrid(const TIniFile &ini, const QString &login, const QString &name, TDBGrid &grid)
{
    const QString text = ini.Value(login, gridKey(name));
    if (text.trimmed().isEmpty())
        return;
    QList<TColumn> columns = grid.Columns();
    QList<int> order;
    for (QString part : text.split(u',')) {
        part = part.trimmed();
        const bool hidden = part.startsWith(u'-');
        const QString field = part.mid(hidden ? 1 : 0).section(u':', 0, 0);
        bool ok = false;
        const int width = part.section(u':', 1).toInt(&ok);
        if (!ok || width < 8 || width > kMaxPixels)
            return; // damaged: nothing of it
        for (int i = 0; i < columns.size(); ++i) {
            if (columns[i].FieldName.compare(field, Qt::CaseInsensitive) != 0 || order.contains(i))
                continue;
            columns[i].Width = width;
            columns[i].Visible = !hidden;
            order << i;
            break;
        }
    }
    // A list with no column shown is no list.
    if (std::none_of(columns.begin(), columns.end(), [](const TColumn &c) { return c.Visible; }))
        return;
    grid.SetColumns(columns);
    grid.SetVisualOrder(order);
}

} // namespace ConsoleLayout
