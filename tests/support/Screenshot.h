#pragma once
// With KLEDGER_SCREENSHOT_DIR set (scripts/screenshot.sh), a test saves the
// window it drives there, as a clerk would see it.

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

inline void SaveScreenshot(QWidget &window, const QString &file)
{
    const QString dir = qEnvironmentVariable("KLEDGER_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    window.show();
    QCoreApplication::processEvents();
    window.grab().save(QDir(dir).filePath(file), "PNG");
}
