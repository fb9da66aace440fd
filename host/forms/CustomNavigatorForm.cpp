#include "CustomNavigatorForm.h"

#include "Guard.h"
#include "InterfaceScript.h"
#include "ValueListEditor.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

TCustomNavigatorForm::TCustomNavigatorForm(QWidget *parent)
    : QWidget(parent),
      SearchVLE(new TValueListEditor(this)),
      SearchPanel(new QWidget(this)),
      FindButton(new QPushButton(UiText(u"Traži"), SearchPanel)),
      ClearAllAction(new QAction(UiText(u"Obriši kriterijume"), this)),
      ClearAllButton(new QPushButton(ClearAllAction->text(), SearchPanel))
{
    SearchVLE->setObjectName(QStringLiteral("SearchVLE"));
    SearchPanel->setObjectName(QStringLiteral("SearchPanel"));
    FindButton->setObjectName(QStringLiteral("FindButton"));

    SearchPanel->setFixedHeight(33);
    FindButton->setFixedSize(75, 25);
    ClearAllAction->setObjectName(QStringLiteral("ClearAllAction"));
    ClearAllButton->setObjectName(QStringLiteral("ClearAllButton"));
    ClearAllButton->setFixedHeight(25);
    ClearAllButton->setAutoDefault(false);
    auto *bottom = new QHBoxLayout(SearchPanel);
    bottom->setContentsMargins(4, 4, 4, 4);
    bottom->addWidget(ClearAllButton);
    bottom->addStretch(1);
    bottom->addWidget(FindButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(SearchVLE, 1);
    layout->addWidget(SearchPanel);

    ConnectGuarded(FindButton, [this] { FindButtonClick(); });
    ConnectGuarded(ClearAllAction, [this] { ClearAllExecute(); });
    connect(ClearAllButton, &QPushButton::clicked, ClearAllAction, &QAction::trigger);
    SearchVLE->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SearchVLE, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        auto *menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("SearchPopupMenu"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addAction(ClearAllAction);
        menu->popup(SearchVLE->viewport()->mapToGlobal(pos));
    });
    SearchVLE->OnKeyDown = [this](int &key, Qt::KeyboardModifiers modifiers) { SearchVLEKeyDown(key, modifiers); };
}

TCustomNavigatorForm::~TCustomNavigatorForm() = default;

void TCustomNavigatorForm::SetSearchProps() {}

QString TCustomNavigatorForm::ParseSQL(QVariantList &params)
{
    params.clear();
    return {};
}

void TCustomNavigatorForm::FindButtonClick() {}

void TCustomNavigatorForm::ClearAllExecute()
{
    for (const QString &key : SearchVLE->Keys())
        SearchVLE->ClearValue(key);
}

void TCustomNavigatorForm::SearchVLEKeyDown(int &key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        key = 0;
        FindButtonClick();
    }
}
