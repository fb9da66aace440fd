#include "ConsoleWindow.h"

#include "AboutText.h"
#include "ConsoleLayout.h"
#include "DBGrid.h"
#include "DataSource.h"
#include "Dialogs.h"
#include "Guard.h"
#include "Help.h"
#include "IniFile.h"
#include "InterfaceScript.h"
#include "ModuleMenuActions.h"
#include "StatusBar.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QWidget *makePanel(const QString &name, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return panel;
}

} // namespace

// Tells the window whenever the number of rows may have changed.
class TConsoleWindow::CountLink final : public TDataLink
{
public:
    explicit CountLink(TConsoleWindow &window) : m_window(window) {}
    void DataSetChanged() override { m_window.showCount(); }
    void EditingChanged() override { m_window.showCount(); }
    void RowInserted(int) override { m_window.showCount(); }
    void RowRemoved(int) override { m_window.showCount(); }

private:
    TConsoleWindow &m_window;
};

TConsoleWindow::TConsoleWindow(const QString &userName, const QString &databaseCaption, QWidget *parent)
    : QMainWindow(parent),
      m_countSource(std::make_unique<TDataSource>()),
      m_countLink(std::make_unique<CountLink>(*this)),
      m_userName(userName)
{
    setObjectName(QStringLiteral("consoleWindow"));

    m_snapinList = new QListWidget;
    m_snapinList->setObjectName(QStringLiteral("snapinList"));
    m_snapinList->setIconSize(QSize(24, 24));
    m_snapinList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_navigatorPanel = makePanel(QStringLiteral("navigatorPanel"), nullptr);
    m_viewerPanel = makePanel(QStringLiteral("viewerPanel"), nullptr);
    m_placeholder = new QLabel(m_viewerPanel);
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_viewerPanel->layout()->addWidget(m_placeholder);

    auto *left = new QSplitter(Qt::Vertical);
    left->setObjectName(QStringLiteral("leftSplitter"));
    left->addWidget(m_snapinList);
    left->addWidget(m_navigatorPanel);
    left->setStretchFactor(1, 1);
    left->setSizes({110, 500});
    auto *main = new QSplitter(Qt::Horizontal);
    main->setObjectName(QStringLiteral("mainSplitter"));
    main->addWidget(left);
    main->addWidget(m_viewerPanel);
    main->setStretchFactor(1, 1);
    main->setSizes({260, 1000});
    setCentralWidget(main);

    m_fileMenu = menuBar()->addMenu(QString());
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_exitAction = m_fileMenu->addAction(QString());
    m_exitAction->setObjectName(QStringLiteral("exitAction"));
    m_exitAction->setShortcut(QKeySequence::Quit);
    ConnectGuarded(m_exitAction, [this] { close(); });
    m_registersMenu = menuBar()->addMenu(QString());
    m_registersMenu->setObjectName(QStringLiteral("registersMenu"));
    m_registersMenu->menuAction()->setVisible(false); // until a register is added
    m_actionsMenu = menuBar()->addMenu(QString());
    m_actionsMenu->setObjectName(QStringLiteral("actionsMenu"));
    m_actionsMenu->setEnabled(false);
    QMenu *helpMenu = m_helpMenu = menuBar()->addMenu(QString());
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction *guideAction = m_guideAction = helpMenu->addAction(QString());
    guideAction->setObjectName(QStringLiteral("guideAction"));
    // Where the application's F1 key is installed it gets F1 first, for
    // every window; the shortcut serves this window without it.
    guideAction->setShortcut(QKeySequence(Qt::Key_F1));
    ConnectGuarded(guideAction, [this] {
        QWidget *focus = QApplication::focusWidget();
        ShowHelp(focus && focus->window() == this ? focus : this);
    });
    QAction *aboutAction = m_aboutAction = helpMenu->addAction(QString());
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    m_aboutText = [] { return AboutText(ConsoleName(), ConsoleVersion(), {}); };
    ConnectGuarded(aboutAction, [this] { MessageDlg(m_aboutText(), TMsgDlgType::Information, mbOK); });

    m_toolBar = addToolBar(QString());
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setVisible(false); // shown while it carries a snap-in's actions
    m_registersBar = addToolBar(QString());
    m_registersBar->setObjectName(QStringLiteral("registersToolBar"));
    m_registersBar->setMovable(false);
    m_registersBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto *registersButton = m_registersButton = new QToolButton(m_registersBar);
    registersButton->setObjectName(QStringLiteral("registersButton"));
    registersButton->setMenu(m_registersMenu);
    registersButton->setPopupMode(QToolButton::InstantPopup);
    m_registersBar->addWidget(registersButton);
    m_registersBar->setVisible(false);

    m_userLabel = new QLabel;
    m_userLabel->setObjectName(QStringLiteral("userLabel"));
    m_databaseLabel = new QLabel(databaseCaption);
    m_databaseLabel->setObjectName(QStringLiteral("databaseLabel"));
    m_countLabel = new QLabel;
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    for (QLabel *label : {m_countLabel, m_userLabel, m_databaseLabel})
        label->setContentsMargins(8, 0, 8, 0);
    statusBar()->addPermanentWidget(m_countLabel);
    statusBar()->addPermanentWidget(m_userLabel);
    statusBar()->addPermanentWidget(m_databaseLabel);

    m_countLink->SetDataSource(m_countSource.get());
    m_statusService = IRef<IStatusBar>(new TStatusBarService(statusBar()));

    connect(m_snapinList, &QListWidget::currentRowChanged, this, [this](int row) { Guarded([this, row] { activate(row); }); });
    retranslate();
}

void TConsoleWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        Guarded([this] { retranslate(); });
    QMainWindow::changeEvent(event);
}

void TConsoleWindow::retranslate()
{
    setWindowTitle(UiText(ConsoleName()));
    m_placeholder->setText(UiText(u"Nijedan modul nije učitan."));
    m_fileMenu->setTitle(UiText(u"&Datoteka"));
    m_exitAction->setText(UiText(u"&Izlaz"));
    m_registersMenu->setTitle(UiText(u"Š&ifarnici"));
    m_actionsMenu->setTitle(UiText(u"&Akcije"));
    m_helpMenu->setTitle(UiText(u"Pomo&ć"));
    m_guideAction->setText(UiText(u"&Uputstvo"));
    m_aboutAction->setText(UiText(u"&O programu"));
    m_toolBar->setWindowTitle(UiText(u"Akcije"));
    m_registersBar->setWindowTitle(UiText(u"Šifarnici"));
    m_registersButton->setText(UiText(u"Šifarnici"));
    m_userLabel->setText(UiText(u"Korisnik: %1").arg(m_userName));
    for (const auto &[action, latin] : std::as_const(m_captions))
        if (action)
            action->setText(UiText(latin));
    for (int i = 0; i < m_snapinList->count() && i < int(m_snapins.size()); ++i)
        captionSnapin(i);
    // The module's own menu entries come again from the module, in the new script.
    if (!m_helpActions.isEmpty())
        addHelpActions();
    // The module's frames are shown again, made anew in the new script.
    if (const int current = m_current; current >= 0) {
        deactivate();
        activate(current);
    }
    showCount();
}

void TConsoleWindow::captionSnapin(int index)
{
    QListWidgetItem *item = m_snapinList->item(index);
    const IRef<ISnapin> &snapin = m_snapins[size_t(index)];
    Guarded([&] {
        item->setData(Qt::UserRole, snapin->GetName());
        item->setText(UiText(snapin->GetName()));
        item->setToolTip(UiText(snapin->GetDescription()));
    });
}

QAction *TConsoleWindow::AddRegister(const QString &caption, const QString &objectName, std::function<void()> open)
{
    QAction *action = m_registersMenu->addAction(UiText(caption));
    action->setObjectName(objectName);
    m_captions.emplace_back(action, caption);
    ConnectGuarded(action, std::move(open));
    m_registersMenu->menuAction()->setVisible(true);
    m_registersBar->setVisible(true);
    return action;
}

QAction *TConsoleWindow::AddFileAction(const QString &caption, const QString &objectName, std::function<void()> run)
{
    auto *action = new QAction(UiText(caption), m_fileMenu);
    action->setObjectName(objectName);
    m_captions.emplace_back(action, caption);
    m_fileMenu->insertAction(m_exitAction, action);
    ConnectGuarded(action, std::move(run));
    return action;
}

TConsoleWindow::~TConsoleWindow()
{
    ReleaseSnapins();
    m_countLink->SetDataSource(nullptr);
}

void TConsoleWindow::SetSnapins(const std::vector<IRef<ISnapin>> &snapins)
{
    deactivate();
    m_snapinList->clear();
    m_snapins = snapins;
    for (const auto &snapin : m_snapins) {
        auto *item = new QListWidgetItem(m_snapinList);
        captionSnapin(m_snapinList->count() - 1);
        Guarded([&] {
            const QImage image = snapin->GetImage();
            if (!image.isNull())
                item->setIcon(QIcon(QPixmap::fromImage(image)));
        });
    }
    m_placeholder->setVisible(m_snapins.empty());
    addHelpActions();
}

void TConsoleWindow::addHelpActions()
{
    removeHelpActions();
    for (const auto &snapin : m_snapins)
        Guarded([&] {
            const IRef<IModuleMenuActions> module = snapin.query<IModuleMenuActions>();
            if (!module)
                return;
            for (const TModuleMenuAction &a : module->HelpMenuActions()) {
                auto *action = new QAction(UiText(a.Caption), m_helpMenu);
                action->setObjectName(a.ObjectName);
                m_helpMenu->insertAction(m_aboutAction, action);
                ConnectGuarded(action, [this, run = a.Run] { run(this); });
                m_helpActions << action;
            }
        });
}

void TConsoleWindow::removeHelpActions()
{
    // Their work lives in the module: gone before it is.
    qDeleteAll(m_helpActions);
    m_helpActions.clear();
}

QStringList TConsoleWindow::SnapinNames() const
{
    QStringList names;
    for (int i = 0; i < m_snapinList->count(); ++i)
        names << m_snapinList->item(i)->text();
    return names;
}

bool TConsoleWindow::SelectSnapin(const QString &name)
{
    const QStringList names = SnapinNames();
    for (int i = 0; i < names.size(); ++i)
        // The module's name as it gives it, or as the window shows it.
        if (name.isEmpty() || names[i].compare(name, Qt::CaseInsensitive) == 0
            || m_snapinList->item(i)->data(Qt::UserRole).toString().compare(name, Qt::CaseInsensitive) == 0) {
            SelectSnapin(i);
            return m_current == i;
        }
    return false;
}

void TConsoleWindow::SelectSnapin(int index)
{
    m_snapinList->setCurrentRow(index); // activates through currentRowChanged
}

void TConsoleWindow::ShowWarnings(const QStringList &warnings)
{
    if (!warnings.isEmpty())
        statusBar()->showMessage(warnings.join(QStringLiteral("  ")), 20000);
}

void TConsoleWindow::activate(int index)
{
    if (index == m_current)
        return;
    deactivate();
    if (index < 0 || index >= int(m_snapins.size()))
        return;
    const IRef<ISnapin> snapin = m_snapins[size_t(index)];
    // Kept before showing, so a failure half-way is still undone by deactivate().
    m_current = index;
    m_viewer = snapin.query<IViewer>();
    m_navigator = snapin.query<INavigable>();
    m_navigatorPanel->setVisible(bool(m_navigator));
    if (m_viewer)
        m_viewer->Load(snapin);
    if (m_navigator)
        m_navigator->ShowNavigator(m_navigatorPanel);
    if (m_viewer) {
        m_viewer->Show(m_viewerPanel);
        QList<QAction *> actions = m_viewer->GetActionList();
        actions.removeAll(nullptr);
        // Shown in the window's menu, they answer wherever the focus is in
        // it; a modal form of the module is another window and keeps its keys.
        for (QAction *action : std::as_const(actions)) {
            m_moduleActions << action;
            m_moduleContexts << action->shortcutContext();
            action->setShortcutContext(Qt::WindowShortcut);
        }
        // A frame that brings its own toolbar keeps it; the window's toolbar
        // carries the actions of frames that have none.
        QWidget *frame = m_viewer->GetFrame();
        if (!frame || !frame->findChild<QToolBar *>())
            m_toolBar->addActions(actions);
        m_actionsMenu->addActions(actions);
        m_actionsMenu->setEnabled(!actions.isEmpty());
        m_toolBar->setVisible(!m_toolBar->actions().isEmpty());
        if (m_layout && frame)
            if (auto *grid = frame->findChild<TDBGrid *>())
                ConsoleLayout::RestoreGrid(*m_layout, m_login, snapin->GetName(), *grid);
    }
    m_countSource->SetDataSet(snapin->GetDataSet());
}

bool TConsoleWindow::TriggerAction(const QString &name)
{
    for (const QPointer<QAction> &action : std::as_const(m_moduleActions)) {
        if (action && action->objectName() == name) {
            if (!action->isEnabled())
                return false;
            action->trigger();
            return true;
        }
    }
    return false;
}

void TConsoleWindow::deactivate()
{
    m_countSource->SetDataSet(nullptr);
    saveGridLayout();
    for (qsizetype i = 0; i < m_moduleActions.size(); ++i) {
        QAction *action = m_moduleActions[i];
        if (!action)
            continue;
        m_toolBar->removeAction(action);
        m_actionsMenu->removeAction(action);
        action->setShortcutContext(m_moduleContexts[i]);
    }
    m_moduleActions.clear();
    m_moduleContexts.clear();
    m_actionsMenu->setEnabled(false);
    m_toolBar->setVisible(!m_toolBar->actions().isEmpty());
    if (m_viewer)
        Guarded([&] { m_viewer->Hide(); });
    if (m_navigator)
        Guarded([&] { m_navigator->HideNavigator(); });
    m_viewer.reset();
    m_navigator.reset();
    m_current = -1;
}

void TConsoleWindow::ReleaseSnapins()
{
    {
        const QSignalBlocker block(m_snapinList);
        m_snapinList->setCurrentRow(-1);
    }
    deactivate();
    removeHelpActions();
    m_snapins.clear();
}

void TConsoleWindow::DeleteLeftoverFrames()
{
    for (QWidget *panel : {m_navigatorPanel, m_viewerPanel})
        for (QWidget *child : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child != m_placeholder)
                delete child;
}

void TConsoleWindow::showCount()
{
    const TDataSet *ds = m_countSource->DataSet();
    if (!ds || !ds->Active()) {
        m_countLabel->clear();
        return;
    }
    // A row being added is not an item until it is saved.
    const int pending = ds->State() == TDataSetState::Insert ? 1 : 0;
    m_countLabel->setText(ItemCountText(ds->RecordCount() - pending));
}

void TConsoleWindow::UseLayoutFile(const QString &path, const QString &login)
{
    m_layout = std::make_unique<TIniFile>(path);
    m_login = login;
    ConsoleLayout::RestoreWindow(*m_layout, m_login, *this);
}

void TConsoleWindow::saveGridLayout()
{
    if (!m_layout || m_current < 0 || !m_viewer)
        return;
    Guarded([&] {
        QWidget *frame = m_viewer->GetFrame();
        if (auto *grid = frame ? frame->findChild<TDBGrid *>() : nullptr)
            ConsoleLayout::SaveGrid(*m_layout, m_login, m_snapins[size_t(m_current)]->GetName(), *grid);
    });
}

void TConsoleWindow::SaveLayout()
{
    if (!m_layout)
        return;
    saveGridLayout();
    ConsoleLayout::SaveWindow(*m_layout, m_login, *this);
    m_layout->Save();
}
