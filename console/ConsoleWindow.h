#pragma once
// The console's main window: the loaded snap-ins on the left, the selected
// one's navigator below them and its viewer on the right; the viewer's
// actions go to the toolbar and the "Akcije" menu while it is selected, and
// answer their shortcuts wherever the focus is in the window. The status bar
// counts the items of the selected snap-in's data set.

#include "KInterfaces.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class TDataSource;
class TIniFile;

class TConsoleWindow : public QMainWindow
{
    Q_OBJECT
public:
    TConsoleWindow(const QString &userName, const QString &databaseCaption, QWidget *parent = nullptr);
    ~TConsoleWindow() override;

    void SetSnapins(const std::vector<IRef<ISnapin>> &snapins);
    // Selects the snap-in whose name, as the module gives it or as the list
    // shows it, matches (case-insensitive); an empty name selects the first. False when there is no such snap-in.
    bool SelectSnapin(const QString &name);
    void SelectSnapin(int index);
    int CurrentSnapin() const { return m_current; }
    QStringList SnapinNames() const;
    // Triggers the shown viewer's action of that object name; false when
    // there is none or it is disabled.
    bool TriggerAction(const QString &name);
    void ShowWarnings(const QStringList &warnings);
    // What "O programu" shows (see AboutText); at first the console alone.
    void SetAboutText(const QString &text)
    {
        m_aboutText = [text] { return text; };
    }
    // The same, made when it is shown: in the script of that moment.
    void SetAboutText(std::function<QString()> text) { m_aboutText = std::move(text); }

    // Shutdown, before the modules are finalized: hides the selected
    // snap-in's frames and lets go of every module object.
    void ReleaseSnapins();
    // Frames a module left in the panels after its objects were released.
    void DeleteLeftoverFrames();

    // Takes the layout of that login from the layout file (see ConsoleLayout)
    // now, before the window is shown, and each snap-in's list columns as
    // it is shown; SaveLayout writes the layout back. Throws when it cannot.
    void UseLayoutFile(const QString &path, const QString &login);
    void SaveLayout();

    // Adds a register to the "Šifarnici" menu and to the toolbar's
    // "Šifarnici" button; open runs when it is chosen. The action is the
    // window's; its object name is objectName. caption is the Latin text:
    // shown through UiText(), again whenever the interface's script changes.
    QAction *AddRegister(const QString &caption, const QString &objectName, std::function<void()> open);
    // Adds an action to the "Datoteka" menu above "Izlaz"; caption as above.
    QAction *AddFileAction(const QString &caption, const QString &objectName, std::function<void()> run);

    // The console's IStatusBar service, showing in this window.
    IRef<IStatusBar> StatusService() const { return m_statusService; }

    QWidget *NavigatorPanel() const { return m_navigatorPanel; }
    QWidget *ViewerPanel() const { return m_viewerPanel; }

protected:
    // A new interface script (SetInterfaceScript) redraws the window's own
    // texts and the modules' "Pomoć" entries at once; a snap-in's frame
    // shown in it and the windows already open follow on their own or not.
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void captionSnapin(int index);
    void activate(int index);
    void deactivate();
    void showCount();
    void saveGridLayout();
    void addHelpActions();
    void removeHelpActions();

    QListWidget *m_snapinList;
    QWidget *m_navigatorPanel;
    QWidget *m_viewerPanel;
    QLabel *m_placeholder;
    QToolBar *m_toolBar;
    QMenu *m_fileMenu;
    QAction *m_exitAction;
    QMenu *m_registersMenu;
    QToolBar *m_registersBar;
    QMenu *m_actionsMenu;
    QMenu *m_helpMenu;
    QAction *m_guideAction;
    QAction *m_aboutAction;
    QToolButton *m_registersButton;
    QList<QAction *> m_helpActions; // the snap-ins' (ModuleMenuActions.h)
    QLabel *m_userLabel;
    QLabel *m_databaseLabel;
    QLabel *m_countLabel;

    std::vector<IRef<ISnapin>> m_snapins;
    int m_current = -1;
    IRef<IViewer> m_viewer;
    IRef<INavigable> m_navigator;
    // The module owns its actions and may delete them while they are shown.
    QList<QPointer<QAction>> m_moduleActions;
    QList<Qt::ShortcutContext> m_moduleContexts; // theirs, given back on deactivation

    class CountLink;
    std::unique_ptr<TDataSource> m_countSource;
    std::unique_ptr<CountLink> m_countLink;
    IRef<IStatusBar> m_statusService;
    std::unique_ptr<TIniFile> m_layout;
    QString m_login;
    std::function<QString()> m_aboutText;
    QString m_userName;
    // The actions added with a Latin caption, to be shown again in a new script.
    std::vector<std::pair<QPointer<QAction>, QString>> m_captions;
};
