#include "CustomViewerForm.h"

#include "DBGrid.h"
#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QIcon smallIcon(const QStyle *style, QStyle::StandardPixmap which)
{
    return QIcon(style->standardIcon(which).pixmap(16, 16));
}
} // namespace

TCustomViewerForm::TCustomViewerForm(QWidget *parent)
    : QWidget(parent),
      ActionTB(new QToolBar(this)),
      CenterPanel(new QWidget(this)),
      DBG(new TDBGrid(CenterPanel)),
      PopupMenu(new QMenu(this)),
      ColumnsVisibility(new QAction(UiText(u"Kolone..."), this))
{
    ActionTB->setObjectName(QStringLiteral("ActionTB"));
    CenterPanel->setObjectName(QStringLiteral("CenterPanel"));
    DBG->setObjectName(QStringLiteral("DBG"));
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    ColumnsVisibility->setObjectName(QStringLiteral("ColumnsVisibility"));

    ActionTB->setIconSize(QSize(16, 16));
    ActionTB->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ActionTB->setMovable(false);
    ActionTB->setFloatable(false);

    auto *center = new QVBoxLayout(CenterPanel);
    center->setContentsMargins(0, 0, 0, 0);
    center->addWidget(DBG);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ActionTB);
    layout->addWidget(CenterPanel, 1);

    ImageList << smallIcon(style(), QStyle::SP_FileDialogDetailedView);
    ColumnsVisibility->setIcon(ImageList.at(0));
    AddAction(ColumnsVisibility);
    ConnectGuarded(ColumnsVisibility, [this] { ColumnsVisibilityExecute(); });
    AddPopupItem(ColumnsVisibility);

    DBG->OnDblClick = [this] { DBGDblClick(); };
    DBG->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBG, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        Guarded([&] {
            if (!PopupMenu->isEmpty())
                PopupMenu->popup(DBG->viewport()->mapToGlobal(pos));
        });
    });
}

TCustomViewerForm::~TCustomViewerForm() = default;

QAction *TCustomViewerForm::AddAction(QAction *action)
{
    action->setParent(this);
    if (!m_actions.contains(action))
        m_actions << action;
    if (!actions().contains(action))
        addAction(action);
    return action;
}

QAction *TCustomViewerForm::ActionByName(const QString &name) const
{
    for (QAction *a : m_actions)
        if (a->objectName() == name)
            return a;
    return nullptr;
}

void TCustomViewerForm::EnableCommands()
{
    for (QAction *a : m_actions) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setEnabled(true);
        if (!actions().contains(a))
            addAction(a);
    }
}

QToolButton *TCustomViewerForm::AddToolButton(QAction *action, bool autoSize)
{
    ActionTB->addAction(action);
    auto *button = qobject_cast<QToolButton *>(ActionTB->widgetForAction(action));
    if (button && !autoSize) {
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setFixedWidth(ActionTB->iconSize().width() + 8);
    }
    return button;
}

void TCustomViewerForm::AddToolSeparator(int width)
{
    auto *line = new QFrame(ActionTB);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedWidth(qMax(width, 2));
    ActionTB->addWidget(line);
}

void TCustomViewerForm::AddPopupItem(QAction *action)
{
    PopupMenu->addAction(action);
}

void TCustomViewerForm::AddPopupSeparator()
{
    PopupMenu->addSeparator();
}

void TCustomViewerForm::DBGDblClick() {}

void TCustomViewerForm::ColumnsVisibilityExecute()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ColumnsDialog"));
    dialog.setWindowTitle(UiText(u"Kolone"));
    auto *layout = new QVBoxLayout(&dialog);
    QList<QCheckBox *> boxes;
    const QList<TColumn> columns = DBG->Columns();
    for (int i = 0; i < columns.size(); ++i) {
        auto *box = new QCheckBox(DBG->GridModel()->ColumnTitle(i), &dialog);
        box->setObjectName(QStringLiteral("Column%1").arg(i));
        box->setChecked(columns[i].Visible);
        layout->addWidget(box);
        boxes << box;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(u"U redu"));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(u"Otkaži"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (Dialogs().ShowModal(dialog) != QDialog::Accepted)
        return;
    // The grid may have been given other columns meanwhile.
    for (int i = 0; i < boxes.size() && i < DBG->Columns().size(); ++i)
        DBG->SetColumnVisible(i, boxes[i]->isChecked());
}
