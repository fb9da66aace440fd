#include "AboutText.h"

#include "InterfaceScript.h"

#include <QFileInfo>

namespace {

QString orUnknown(const QString &text)
{
    return text.isEmpty() ? UiText(u"nepoznata") : text;
}

} // namespace

QString ConsoleName()
{
    return UiText(QStringLiteral("Kolibar konzola — " KCONSOLE_PRODUCT));
}

QString ConsoleVersion()
{
    return QStringLiteral(KCONSOLE_VERSION);
}

QString AboutText(const QString &consoleName, const QString &consoleVersion,
                  const std::vector<TModuleLoader::Module> &modules)
{
    QStringList lines;
    lines << UiText(u"%1, verzija %2").arg(consoleName, consoleVersion) << QString();
    if (modules.empty())
        lines << UiText(u"Nijedan modul nije učitan.");
    else
        lines << UiText(u"Učitani moduli:");
    for (const TModuleLoader::Module &module : modules) {
        const QString file = QFileInfo(module.Path).fileName();
        if (!module.VersionInfo) {
            lines << UiText(u"• %1: bez podataka o verziji").arg(file);
            continue;
        }
        const TModuleLoader::Version &v = *module.VersionInfo;
        lines << UiText(u"• %1 (%2)").arg(v.Description.isEmpty() ? file : v.Description, file)
              << UiText(u"   verzija datoteke %1, verzija proizvoda %2")
                     .arg(orUnknown(v.FileVersion), orUnknown(v.ProductVersion));
    }
    return lines.join(u'\n');
}
