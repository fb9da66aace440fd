#pragma once
// The base of a list frame: a toolbar over a grid, the frame's actions and the
// grid's popup menu. A derived frame adds its actions with AddAction (which
// parents them to the frame), places them with AddToolButton and
// AddPopupItem, and calls EnableCommands so their shortcuts work while the
// focus is anywhere in the frame.

#include "KExport.h"

#include <QIcon>
#include <QList>
#include <QWidget>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class TDBGrid;

class KCOMMON_EXPORT TCustomViewerForm : public QWidget
{
    Q_OBJECT
public:
    explicit TCustomViewerForm(QWidget *parent = nullptr);
    ~TCustomViewerForm() override;

    QToolBar *const ActionTB;   // text beside 16x16 icons
    QWidget *const CenterPanel; // holds the grid
    TDBGrid *const DBG;
    QMenu *const PopupMenu;     // the grid's context menu; not shown while empty
    // "Kolone...": a dialog with a check box per grid column.
    QAction *const ColumnsVisibility;
    // The frame's 16x16 icons; index 0 is the columns icon. Derived frames
    // replace the list and give their actions icons from it.
    QList<QIcon> ImageList;

    const QList<QAction *> &ActionList() const { return m_actions; }
    // Adds the action to ActionList and to the frame, parented to the frame.
    QAction *AddAction(QAction *action);
    QAction *ActionByName(const QString &name) const; // null when missing
    // Enables the frame's actions; their shortcuts work while the focus is
    // inside the frame (Qt::WidgetWithChildrenShortcut).
    void EnableCommands();

    // autoSize false: a square button showing only the icon.
    QToolButton *AddToolButton(QAction *action, bool autoSize = true);
    void AddToolSeparator(int width = 8);
    void AddPopupItem(QAction *action);
    void AddPopupSeparator();

    // The grid's double click, run guarded; the title row included, see
    // TDBGrid::CellAt. Base: nothing.
    virtual void DBGDblClick();
    // The ColumnsVisibility action, run guarded.
    virtual void ColumnsVisibilityExecute();

private:
    QList<QAction *> m_actions;
};
