#include "SerbianQtTexts.h"

#include "InterfaceScript.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QLocale>
#include <QPointer>

namespace {

struct TText
{
    const char *Context;
    const char *Source;
    const char *Serbian;
};

// Sources exactly as Qt 6.4 asks for them; '&' marks the mnemonic.
constexpr TText kTexts[] = {
    // Standard buttons (QMessageBox, QDialogButtonBox).
    {"QPlatformTheme", "OK", "U redu"},
    {"QPlatformTheme", "Save", "Sačuvaj"},
    {"QPlatformTheme", "Save All", "Sačuvaj sve"},
    {"QPlatformTheme", "Open", "Otvori"},
    {"QPlatformTheme", "&Yes", "&Da"},
    {"QPlatformTheme", "Yes to &All", "Da za &sve"},
    {"QPlatformTheme", "&No", "&Ne"},
    {"QPlatformTheme", "N&o to All", "N&e za sve"},
    {"QPlatformTheme", "Abort", "Prekini"},
    {"QPlatformTheme", "Retry", "Pokušaj ponovo"},
    {"QPlatformTheme", "Ignore", "Zanemari"},
    {"QPlatformTheme", "Close", "Zatvori"},
    {"QPlatformTheme", "Cancel", "Otkaži"},
    {"QPlatformTheme", "Discard", "Odbaci"},
    {"QPlatformTheme", "Help", "Pomoć"},
    {"QPlatformTheme", "Apply", "Primeni"},
    {"QPlatformTheme", "Reset", "Poništi"},
    {"QPlatformTheme", "Restore Defaults", "Vrati podrazumevano"},
    // The GNOME theme's own captions, when Qt runs under GNOME.
    {"QGnomeTheme", "&OK", "&U redu"},
    {"QGnomeTheme", "&Save", "&Sačuvaj"},
    {"QGnomeTheme", "&Cancel", "&Otkaži"},
    {"QGnomeTheme", "&Close", "&Zatvori"},
    {"QGnomeTheme", "Close without Saving", "Zatvori bez čuvanja"},
    {"QMessageBox", "Show Details...", "Prikaži detalje..."},
    {"QMessageBox", "Hide Details...", "Sakrij detalje..."},

    // Context menus of line edits, text edits and spin boxes.
    {"QLineEdit", "&Undo", "&Opozovi"},
    {"QLineEdit", "&Redo", "&Ponovi"},
    {"QLineEdit", "Cu&t", "Ise&ci"},
    {"QLineEdit", "&Copy", "&Kopiraj"},
    {"QLineEdit", "&Paste", "&Nalepi"},
    {"QLineEdit", "Delete", "Obriši"},
    {"QLineEdit", "Select All", "Izaberi sve"},
    {"QWidgetTextControl", "&Undo", "&Opozovi"},
    {"QWidgetTextControl", "&Redo", "&Ponovi"},
    {"QWidgetTextControl", "Cu&t", "Ise&ci"},
    {"QWidgetTextControl", "&Copy", "&Kopiraj"},
    {"QWidgetTextControl", "Copy &Link Location", "Kopiraj &adresu veze"},
    {"QWidgetTextControl", "&Paste", "&Nalepi"},
    {"QWidgetTextControl", "Delete", "Obriši"},
    {"QWidgetTextControl", "Select All", "Izaberi sve"},
    {"QAbstractSpinBox", "&Select All", "&Izaberi sve"},
    {"QAbstractSpinBox", "&Step up", "&Povećaj"},
    {"QAbstractSpinBox", "Step &down", "&Smanji"},

    // Key names in shortcuts. Keys whose caps carry the English name (Ctrl,
    // Shift, Alt, Esc, Tab, Enter, Backspace, Ins, Del, Home, End, PgUp,
    // PgDown) keep it: that is what a clerk reads on the keyboard.
    {"QShortcut", "Space", "Razmak"},
    // The big key's cap says Enter; Qt calls it Return.
    {"QShortcut", "Return", "Enter"},
    {"QShortcut", "Left", "Levo"},
    {"QShortcut", "Right", "Desno"},
    {"QShortcut", "Up", "Gore"},
    {"QShortcut", "Down", "Dole"},
    {"QShortcut", "Help", "Pomoć"},
    {"QShortcut", "Menu", "Meni"},

    // The console's --help and its refusals of a line it cannot read.
    {"QCommandLineParser", "Usage: %1", "Upotreba: %1"},
    {"QCommandLineParser", "[options]", "[opcije]"},
    {"QCommandLineParser", "Options:", "Opcije:"},
    {"QCommandLineParser", "Arguments:", "Argumenti:"},
    {"QCommandLineParser", "Displays help on commandline options.", "Prikazuje pomoć za opcije komandne linije."},
    {"QCommandLineParser", "Displays help including Qt specific options.", "Prikazuje pomoć i sa opcijama Qt biblioteke."},
    {"QCommandLineParser", "Displays version information.", "Prikazuje verziju programa."},
    {"QCommandLineParser", "Unknown option '%1'.", "Nepoznata opcija „%1“."},
    {"QCommandLineParser", "Unknown options: %1.", "Nepoznate opcije: %1."},
    {"QCommandLineParser", "Missing value after '%1'.", "Nedostaje vrednost posle „%1“."},
    {"QCommandLineParser", "Unexpected value after '%1'.", "Neočekivana vrednost posle „%1“."},

    // The file dialog.
    {"QFileDialog", "Look in:", "Traži u:"},
    {"QFileDialog", "File &name:", "&Naziv datoteke:"},
    {"QFileDialog", "Files of type:", "Vrsta datoteka:"},
    {"QFileDialog", "Directory:", "Folder:"},
    {"QFileDialog", "Open", "Otvaranje"},
    {"QFileDialog", "Save As", "Sačuvaj kao"},
    {"QFileDialog", "Find Directory", "Izbor foldera"},
    {"QFileDialog", "&Open", "&Otvori"},
    {"QFileDialog", "&Save", "&Sačuvaj"},
    {"QFileDialog", "&Choose", "&Izaberi"},
    {"QFileDialog", "All Files (*)", "Sve datoteke (*)"},
    {"QFileDialog", "Back", "Nazad"},
    {"QFileDialog", "Go back", "Nazad"},
    {"QFileDialog", "Forward", "Napred"},
    {"QFileDialog", "Go forward", "Napred"},
    {"QFileDialog", "Parent Directory", "Nadređeni folder"},
    {"QFileDialog", "Go to the parent directory", "U nadređeni folder"},
    {"QFileDialog", "Create New Folder", "Novi folder"},
    {"QFileDialog", "Create a New Folder", "Napravi novi folder"},
    {"QFileDialog", "List View", "Lista"},
    {"QFileDialog", "Change to list view mode", "Prikaz u listi"},
    {"QFileDialog", "Detail View", "Detalji"},
    {"QFileDialog", "Change to detail view mode", "Prikaz sa detaljima"},
    {"QFileDialog", "Sidebar", "Bočna traka"},
    {"QFileDialog", "List of places and bookmarks", "Mesta i obeleživači"},
    {"QFileDialog", "Files", "Datoteke"},
    {"QFileDialog", "&Rename", "&Preimenuj"},
    {"QFileDialog", "&Delete", "&Obriši"},
    {"QFileDialog", "Show &hidden files", "Prikaži &skrivene datoteke"},
    {"QFileDialog", "&New Folder", "&Novi folder"},
    {"QFileDialog", "New Folder", "Novi folder"},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?", "%1 već postoji.\nDa li želite da je zamenite?"},
    {"QFileSystemModel", "Name", "Naziv"},
    {"QFileSystemModel", "Size", "Veličina"},
    {"QFileSystemModel", "Type", "Vrsta"},
    {"QFileSystemModel", "Date Modified", "Izmenjeno"},
    {"QFileSystemModel", "Computer", "Računar"},
    {"QAbstractFileIconProvider", "Folder", "Folder"},
    {"QAbstractFileIconProvider", "Drive", "Disk"},
    {"QProgressDialog", "Cancel", "Otkaži"},
    {"QTabBar", "Scroll Left", "Pomeri levo"},
    {"QTabBar", "Scroll Right", "Pomeri desno"},

    // Print preview and the print dialog.
    {"QPrintPreviewDialog", "Print Preview", "Pregled pre štampe"},
    {"QPrintPreviewDialog", "Next page", "Sledeća strana"},
    {"QPrintPreviewDialog", "Previous page", "Prethodna strana"},
    {"QPrintPreviewDialog", "First page", "Prva strana"},
    {"QPrintPreviewDialog", "Last page", "Poslednja strana"},
    {"QPrintPreviewDialog", "Fit width", "Po širini"},
    {"QPrintPreviewDialog", "Fit page", "Cela strana"},
    {"QPrintPreviewDialog", "Zoom in", "Uvećaj"},
    {"QPrintPreviewDialog", "Zoom out", "Umanji"},
    {"QPrintPreviewDialog", "Portrait", "Uspravno"},
    {"QPrintPreviewDialog", "Landscape", "Položeno"},
    {"QPrintPreviewDialog", "Show single page", "Jedna strana"},
    {"QPrintPreviewDialog", "Show facing pages", "Dve strane"},
    {"QPrintPreviewDialog", "Show overview of all pages", "Sve strane"},
    {"QPrintPreviewDialog", "Print", "Štampaj"},
    {"QPrintPreviewDialog", "Page setup", "Podešavanje strane"},
    {"QPrintDialog", "Print", "Štampanje"},
    {"QPrintDialog", "&Print", "Š&tampaj"},
    {"QPrintDialog", "&Options >>", "&Opcije >>"},
    {"QPrintDialog", "&Options <<", "&Opcije <<"},
    {"QPrintDialog", "All Pages", "Sve strane"},
    {"QPrintDialog", "Odd Pages", "Neparne strane"},
    {"QPrintDialog", "Even Pages", "Parne strane"},
    {"QPrintDialog", "Print to File (PDF)", "Štampaj u datoteku (PDF)"},
    {"QPrintDialog", "Local file", "Datoteka na ovom računaru"},
    {"QPrintDialog", "Write PDF file", "Upiši PDF datoteku"},
    {"QPrintWidget", "Printer", "Štampač"},
    {"QPrintWidget", "&Name:", "&Naziv:"},
    {"QPrintWidget", "P&roperties", "&Svojstva"},
    {"QPrintWidget", "Location:", "Lokacija:"},
    {"QPrintWidget", "Preview", "Pregled"},
    {"QPrintWidget", "Type:", "Vrsta:"},
    {"QPrintWidget", "Output &file:", "Izlazna &datoteka:"},
    {"QPrintSettingsOutput", "Print range", "Opseg štampe"},
    {"QPrintSettingsOutput", "Print all", "Sve"},
    {"QPrintSettingsOutput", "Pages from", "Strane od"},
    {"QPrintSettingsOutput", "to", "do"},
    {"QPrintSettingsOutput", "Pages", "Strane"},
    {"QPrintSettingsOutput", "Current Page", "Tekuća strana"},
    {"QPrintSettingsOutput", "Selection", "Izabrano"},
    {"QPrintSettingsOutput", "Page Set:", "Strane:"},
    {"QPrintSettingsOutput", "Output Settings", "Izlaz"},
    {"QPrintSettingsOutput", "Copies:", "Primeraka:"},
    {"QPrintSettingsOutput", "Collate", "Složi po primercima"},
    {"QPrintSettingsOutput", "Reverse", "Obrnutim redom"},
    {"QPrintSettingsOutput", "Copies", "Primerci"},
    {"QPrintSettingsOutput", "Color Mode", "Boja"},
    {"QPrintSettingsOutput", "Color", "U boji"},
    {"QPrintSettingsOutput", "Grayscale", "Nijanse sive"},
    {"QPrintSettingsOutput", "Double Sided Printing", "Obostrana štampa"},
    {"QPrintSettingsOutput", "Off", "Isključeno"},
    {"QPrintSettingsOutput", "Long side binding", "Povez po dužoj ivici"},
    {"QPrintSettingsOutput", "Short side binding", "Povez po kraćoj ivici"},
    {"QPrintSettingsOutput", "Options", "Opcije"},
};

QByteArray keyOf(const char *context, const char *source)
{
    return QByteArray(context) + '\x04' + QByteArray(source);
}

const QHash<QByteArray, QString> &table()
{
    static const QHash<QByteArray, QString> texts = [] {
        QHash<QByteArray, QString> t;
        for (const TText &text : kTexts)
            t.insert(keyOf(text.Context, text.Source), QString::fromUtf8(text.Serbian));
        return t;
    }();
    return texts;
}

} // namespace

namespace {

// Qt's own classes name the contexts of its texts; ours (the .ui layouts)
// are written in Serbian Latin already.
bool isQtContext(const char *context) { return context[0] == 'Q' && context[1] >= 'A' && context[1] <= 'Z'; }

QPointer<TSerbianQtTexts> g_installed;

} // namespace

QString TSerbianQtTexts::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (!context || !sourceText)
        return {};
    const TScript script = InterfaceScript();
    const QString latin = table().value(keyOf(context, sourceText));
    // The cap's own name, as printed on the keyboard, stays in Latin.
    if (latin == u"Enter" && qstrcmp(context, "QShortcut") == 0)
        return latin;
    if (!latin.isEmpty())
        return InterfaceText(latin, script);
    if (script == TScript::Latin || isQtContext(context))
        return {};
    return InterfaceText(QString::fromUtf8(sourceText), script);
}

void InstallSerbianTexts(QCoreApplication &app)
{
    const TScript script = InterfaceScript();
    QLocale::setDefault(QLocale(QLocale::Serbian, script == TScript::Cyrillic ? QLocale::CyrillicScript : QLocale::LatinScript,
                                QLocale::Serbia));
    if (g_installed)
        return;
    g_installed = new TSerbianQtTexts(&app); // owned by app
    QCoreApplication::installTranslator(g_installed);
}

void ReinstallSerbianTexts(QCoreApplication &app)
{
    if (!g_installed)
        return; // not yet installed: InstallSerbianTexts will
    // What installing a translator does, once: the application hands the
    // event on to every widget (taking ours out and in again would tell
    // them twice, and a window redrawing on it would do its work twice).
    QEvent changed(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&app, &changed);
}
