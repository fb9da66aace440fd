#include "CustomDetailForm.h"

#include "DataSource.h"
#include "Guard.h"
#include "InterfaceScript.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QVBoxLayout>

class TCustomDetailForm::Link final : public TDataLink
{
public:
    explicit Link(TCustomDetailForm &form) : m_form(form) {}
    void DataSetChanged() override { m_form.UpdateActions(); }
    void RecordChanged(TField *) override { m_form.UpdateActions(); }
    void DataSetScrolled() override { m_form.UpdateActions(); }
    void EditingChanged() override { m_form.UpdateActions(); }

private:
    TCustomDetailForm &m_form;
};

namespace {

// QPushButton has no default action: the button shows the action's text and
// state, and its click triggers the action.
void bindButton(QPushButton *button, QAction *action)
{
    const auto sync = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setHidden(!action->isVisible());
    };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
}

QPushButton *makeButton(const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(name);
    b->setFixedSize(75, 25);
    b->setAutoDefault(false);
    return b;
}

QAction *makeAction(const QString &name, const QString &text, QObject *parent)
{
    auto *a = new QAction(text, parent);
    a->setObjectName(name);
    return a;
}

} // namespace

TCustomDetailForm::TCustomDetailForm(QWidget *parent)
    : QDialog(parent),
      PageControl(new QTabWidget(this)),
      GeneralTS(new QWidget(PageControl)),
      BottomPanel(new QWidget(this)),
      OKButton(makeButton(QStringLiteral("OKButton"), BottomPanel)),
      ApplyButton(makeButton(QStringLiteral("ApplyButton"), BottomPanel)),
      CancelButton(makeButton(QStringLiteral("CancelButton"), BottomPanel)),
      CustomOK(makeAction(QStringLiteral("CustomOK"), UiText(u"U redu"), this)),
      CustomApply(makeAction(QStringLiteral("CustomApply"), UiText(u"Primeni"), this)),
      CustomCancel(makeAction(QStringLiteral("CustomCancel"), UiText(u"Otkaži"), this)),
      m_link(std::make_unique<Link>(*this))
{
    PageControl->setObjectName(QStringLiteral("PageControl"));
    GeneralTS->setObjectName(QStringLiteral("GeneralTS"));
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    PageControl->addTab(GeneralTS, UiText(u"Opšte"));

    BottomPanel->setFixedHeight(34);
    auto *bottom = new QHBoxLayout(BottomPanel);
    bottom->setContentsMargins(8, 4, 8, 5);
    bottom->setSpacing(6);
    bottom->addStretch(1);
    bottom->addWidget(OKButton);
    bottom->addWidget(ApplyButton);
    bottom->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl, 1);
    layout->addWidget(BottomPanel);
    OKButton->setDefault(true);

    m_actions = {CustomOK, CustomApply, CustomCancel};
    bindButton(OKButton, CustomOK);
    bindButton(ApplyButton, CustomApply);
    bindButton(CancelButton, CustomCancel);
    ConnectGuarded(CustomOK, [this] {
        CustomOKExecute();
        UpdateActions();
    });
    ConnectGuarded(CustomApply, [this] {
        CustomApplyExecute();
        UpdateActions();
    });
    ConnectGuarded(CustomCancel, [this] {
        CustomCancelExecute();
        UpdateActions();
    });
    resize(440, 360);
}

TCustomDetailForm::~TCustomDetailForm() = default;

void TCustomDetailForm::CustomOKExecute()
{
    accept();
}

void TCustomDetailForm::CustomApplyExecute() {}

void TCustomDetailForm::CustomCancelExecute()
{
    reject();
}

void TCustomDetailForm::CustomApplyUpdate(QAction &) {}

void TCustomDetailForm::FormActionsUpdate() {}

bool TCustomDetailForm::FormCloseQuery()
{
    return true;
}

void TCustomDetailForm::ReloadForm() {}

void TCustomDetailForm::UpdateActions()
{
    Guarded([this] {
        CustomApplyUpdate(*CustomApply);
        FormActionsUpdate();
    });
}

void TCustomDetailForm::WatchDataSource(TDataSource *source)
{
    m_link->SetDataSource(source);
    UpdateActions();
}

void TCustomDetailForm::done(int result)
{
    // The query may show a question; a second close meanwhile is ignored.
    if (m_closing)
        return;
    bool allowed = false;
    {
        QScopedValueRollback closing(m_closing, true);
        Guarded([&] { allowed = FormCloseQuery(); });
    }
    if (allowed)
        QDialog::done(result);
}

void TCustomDetailForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    UpdateActions();
}

// Esc is the Cancel button, as in the action's handler.
void TCustomDetailForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (CustomCancel->isEnabled())
            CustomCancel->trigger();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
