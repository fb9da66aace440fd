#include "PickerDialog.h"

#include "InterfaceScript.h"
#include "PickerModel.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

TPickerDialog::TPickerDialog(const QString &title, const QStringList &headers, const QList<QStringList> &rows,
                             QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("pickerDialog"));
    setWindowTitle(title);
    resize(640, 420);

    m_rows = new TPickerModel(headers, rows, this);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_filter->setPlaceholderText(UiText(u"Pretraga…"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);

    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setModel(m_rows);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setAlternatingRowColors(true);
    // The first rows tell the columns' widths: measuring thousands would hold up the opening.
    m_list->horizontalHeader()->setResizeContentsPrecision(100);
    m_list->resizeColumnsToContents();

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(UiText(u"U redu"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(UiText(u"Otkaži"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (SelectedRow() >= 0)
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &TPickerDialog::SetFilter);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &TPickerDialog::updateOk);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) {
            m_list->setCurrentIndex(index);
            accept();
        }
    });

    ensureCurrent();
    m_filter->setFocus();
}

void TPickerDialog::EnableNew(const QString &toolTip)
{
    if (m_new)
        return;
    auto *buttons = findChild<QDialogButtonBox *>();
    m_new = buttons->addButton(UiText(u"&Novi…"), QDialogButtonBox::ActionRole);
    m_new->setObjectName(QStringLiteral("newButton"));
    m_new->setToolTip(toolTip);
    m_new->setAutoDefault(false);
    connect(m_new, &QPushButton::clicked, this, [this] { done(NewRequested); });
    auto *insert = new QShortcut(QKeySequence(Qt::Key_Insert), this);
    connect(insert, &QShortcut::activated, this, [this] { done(NewRequested); });
}

QString TPickerDialog::FilterText() const
{
    return m_filter->text().trimmed();
}

int TPickerDialog::SelectedRow() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? m_rows->SourceRow(current.row()) : -1;
}

void TPickerDialog::SetFilter(const QString &text)
{
    if (m_filter->text() != text) {
        m_filter->setText(text); // comes back here through textChanged
        return;
    }
    // The row chosen stays current while it is still shown.
    const int chosen = SelectedRow();
    m_rows->SetFilter(text);
    const int shown = m_rows->ShownRow(chosen);
    if (shown >= 0)
        m_list->setCurrentIndex(m_rows->index(shown, 0));
    ensureCurrent();
}

void TPickerDialog::SetCurrentRow(int row)
{
    const int shown = m_rows->ShownRow(row);
    if (shown >= 0) {
        const QModelIndex index = m_rows->index(shown, 0);
        m_list->setCurrentIndex(index);
        m_list->scrollTo(index);
    }
    ensureCurrent();
}

// Typing and pressing Enter should pick the first match without touching the mouse.
void TPickerDialog::ensureCurrent()
{
    if (!m_list->currentIndex().isValid() && m_rows->rowCount() > 0)
        m_list->setCurrentIndex(m_rows->index(0, 0));
    if (m_list->currentIndex().isValid())
        m_list->selectionModel()->select(m_list->currentIndex(),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    updateOk();
}

void TPickerDialog::updateOk()
{
    m_ok->setEnabled(m_list->currentIndex().isValid());
}

// Up/Down in the filter line move through the list.
bool TPickerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
