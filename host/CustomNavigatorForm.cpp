#include "CustomNavigatorForm.h"

#include "Guard.h"
#include "ValueListEditor.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TCustomNavigatorForm::TCustomNavigatorForm(QWidget *parent)
    : QWidget(parent),
      SearchVLE(new TValueListEditor(this)),
      SearchPanel(new QWidget(this)),
      FindButton(new QPushButton(QStringLiteral("Traži"), SearchPanel))
{
    SearchVLE->setObjectName(QStringLiteral("SearchVLE"));
    SearchPanel->setObjectName(QStringLiteral("SearchPanel"));
    FindButton->setObjectName(QStringLiteral("FindButton"));

    SearchPanel->setFixedHeight(33);
    FindButton->setFixedSize(75, 25);
    auto *bottom = new QHBoxLayout(SearchPanel);
    bottom->setContentsMargins(4, 4, 4, 4);
    bottom->addStretch(1);
    bottom->addWidget(FindButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(SearchVLE, 1);
    layout->addWidget(SearchPanel);

    ConnectGuarded(FindButton, [this] { FindButtonClick(); });
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

void TCustomNavigatorForm::SearchVLEKeyDown(int &key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        key = 0;
        FindButtonClick();
    }
}
