#pragma once
// The console's main window: the loaded snap-ins on the left, the selected
// one's navigator below them and its viewer on the right; the viewer's
// actions go to the toolbar and the "Akcije" menu while it is selected.

#include "KInterfaces.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolBar;

class TConsoleWindow : public QMainWindow
{
    Q_OBJECT
public:
    TConsoleWindow(const QString &userName, const QString &databaseCaption, QWidget *parent = nullptr);
    ~TConsoleWindow() override;

    void SetSnapins(const std::vector<IRef<ISnapin>> &snapins);
    // Selects the snap-in whose name matches (case-insensitive); an empty
    // name selects the first. False when there is no such snap-in.
    bool SelectSnapin(const QString &name);
    void SelectSnapin(int index);
    int CurrentSnapin() const { return m_current; }
    QStringList SnapinNames() const;
    // Triggers the shown viewer's action of that object name; false when
    // there is none or it is disabled.
    bool TriggerAction(const QString &name);
    void ShowWarnings(const QStringList &warnings);

    // Shutdown, before the modules are finalized: hides the selected
    // snap-in's frames and lets go of every module object.
    void ReleaseSnapins();
    // Frames a module left in the panels after its objects were released.
    void DeleteLeftoverFrames();

    QWidget *NavigatorPanel() const { return m_navigatorPanel; }
    QWidget *ViewerPanel() const { return m_viewerPanel; }

private:
    void activate(int index);
    void deactivate();

    QListWidget *m_snapinList;
    QWidget *m_navigatorPanel;
    QWidget *m_viewerPanel;
    QLabel *m_placeholder;
    QToolBar *m_toolBar;
    QMenu *m_actionsMenu;
    QLabel *m_userLabel;
    QLabel *m_databaseLabel;

    std::vector<IRef<ISnapin>> m_snapins;
    int m_current = -1;
    IRef<IViewer> m_viewer;
    IRef<INavigable> m_navigator;
    // The module owns its actions and may delete them while they are shown.
    QList<QPointer<QAction>> m_moduleActions;
};
