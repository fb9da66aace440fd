#include "DBControls.h"

#include "DisplayErrors.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

// ---- TFieldDataLink -----------------------------------------------------------

void TFieldDataLink::SetSource(TDataSource *source)
{
    SetDataSource(source);
    changed(false);
}

void TFieldDataLink::SetFieldName(const QString &name)
{
    m_fieldName = name;
    m_fieldIndex = -1;
    changed(false);
}

// Auto-created fields are deleted when the data set closes, so a cached
// field is only trusted after checking its name on the live field list.
TField *TFieldDataLink::Field() const
{
    TDataSet *ds = DataSet();
    if (!ds || !ds->Active() || m_fieldName.isEmpty())
        return nullptr;
    if (m_fieldIndex >= 0 && m_fieldIndex < ds->FieldCount()
        && ds->Fields(m_fieldIndex).FieldName().compare(m_fieldName, Qt::CaseInsensitive) == 0)
        return &ds->Fields(m_fieldIndex);
    for (int i = 0; i < ds->FieldCount(); ++i) {
        if (ds->Fields(i).FieldName().compare(m_fieldName, Qt::CaseInsensitive) == 0) {
            m_fieldIndex = i;
            return &ds->Fields(i);
        }
    }
    m_fieldIndex = -1;
    return nullptr;
}

bool TFieldDataLink::Editing() const
{
    TDataSet *ds = DataSet();
    return ds && (ds->State() == TDataSetState::Edit || ds->State() == TDataSetState::Insert);
}

void TFieldDataLink::BeginUserEdit()
{
    if (!Field())
        throw EDatabaseError(UiText(u"Kontrola nije povezana sa poljem '%1'.").arg(m_fieldName));
    {
        QScopedValueRollback busy(m_busy, true);
        if (!Editing())
            DataSet()->Edit();
    }
    m_modified = true;
    m_pendingRecNo = DataSet()->RecNo();
}

void TFieldDataLink::WritePending(const QString &text)
{
    TField *field = Field();
    if (!field || !Editing()) {
        m_modified = false;
        return;
    }
    {
        QScopedValueRollback busy(m_busy, true);
        field->SetText(text);
    }
    m_modified = false;
}

void TFieldDataLink::Write(const std::function<void(TField &)> &write)
{
    TField *field = Field();
    if (!field)
        throw EDatabaseError(UiText(u"Kontrola nije povezana sa poljem '%1'.").arg(m_fieldName));
    QScopedValueRollback busy(m_busy, true);
    if (!Editing())
        DataSet()->Edit();
    write(*field);
}

void TFieldDataLink::DataSetChanged()
{
    m_fieldIndex = -1;
    changed(true);
}

void TFieldDataLink::RecordChanged(TField *field)
{
    if (field && field != Field())
        return;
    changed(true);
}

void TFieldDataLink::DataSetScrolled()
{
    changed(true);
}

void TFieldDataLink::UpdateData()
{
    if (OnUpdateData)
        OnUpdateData();
}

void TFieldDataLink::changed(bool keepPending)
{
    if (m_busy)
        return;
    if (keepPending && m_modified && Editing() && DataSet()->RecNo() == m_pendingRecNo)
        return;
    m_modified = false;
    if (OnDataChange)
        OnDataChange();
}

namespace {

// Display must never throw into a data set notification or a paint.
QString fieldText(const TField *field)
{
    if (!field)
        return {};
    try {
        return field->Text();
    } catch (const std::exception &e) {
        LogDisplayError(field, e);
        return {};
    }
}

bool fieldReadOnly(const TField *field)
{
    return !field || field->ReadOnly;
}

} // namespace

// ---- TDBEdit --------------------------------------------------------------------

TDBEdit::TDBEdit(QWidget *parent) : QLineEdit(parent), m_link()
{
    m_link.OnDataChange = [this] { showField(); };
    m_link.OnUpdateData = [this] {
        if (m_link.Modified()) {
            m_link.WritePending(text());
            showField();
        }
    };
    connect(this, &QLineEdit::textEdited, this, [this] { userEdited(); });
    connect(this, &QLineEdit::editingFinished, this, [this] {
        // The error dialog takes the focus, which finishes editing again.
        if (m_finishing || !m_link.Modified())
            return;
        QScopedValueRollback guard(m_finishing, true);
        Guarded([this] {
            m_link.WritePending(text());
            showField();
        });
    });
    showField();
}

TDBEdit::~TDBEdit()
{
    disconnect(this, nullptr, this, nullptr);
}

void TDBEdit::SetDataSource(TDataSource *source)
{
    m_link.SetSource(source);
}

void TDBEdit::SetDataField(const QString &name)
{
    m_link.SetFieldName(name);
}

void TDBEdit::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    QLineEdit::setReadOnly(m_readOnly || fieldReadOnly(Field()));
}

void TDBEdit::showField()
{
    m_link.Reset();
    const TField *field = Field();
    const QString t = fieldText(field);
    if (text() != t) {
        setText(t);
        if (!hasFocus())
            setCursorPosition(0);
    }
    QLineEdit::setReadOnly(m_readOnly || fieldReadOnly(field));
    // Typing stops at the column's size instead of failing at the post.
    const int limit = m_stopAtSize && field && field->DataType() == TFieldType::String && field->Size() > 0 ? field->Size()
                                                                                                          : 32767;
    if (maxLength() != limit)
        setMaxLength(limit);
}

void TDBEdit::SetStopAtSize(bool stop)
{
    m_stopAtSize = stop;
    const TField *field = Field();
    setMaxLength(stop && field && field->DataType() == TFieldType::String && field->Size() > 0 ? field->Size() : 32767);
}

void TDBEdit::userEdited()
{
    if (!Guarded([this] { m_link.BeginUserEdit(); }))
        showField();
}

// ---- TDBComboBox -----------------------------------------------------------------

TDBComboBox::TDBComboBox(QWidget *parent) : QComboBox(parent), m_link()
{
    setInsertPolicy(QComboBox::NoInsert);
    m_link.OnDataChange = [this] { showField(); };
    m_link.OnUpdateData = [this] {
        if (m_link.Modified()) {
            m_link.WritePending(currentText());
            showField();
        }
    };
    connect(this, &QComboBox::activated, this, [this](int index) { userChose(index); });
    showField();
}

TDBComboBox::~TDBComboBox()
{
    disconnect(this, nullptr, this, nullptr);
}

void TDBComboBox::SetDataSource(TDataSource *source)
{
    m_link.SetSource(source);
}

void TDBComboBox::SetDataField(const QString &name)
{
    m_link.SetFieldName(name);
}

QStringList TDBComboBox::Items() const
{
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    return items;
}

void TDBComboBox::SetItems(const QStringList &items)
{
    clear();
    addItems(items);
    showField();
}

void TDBComboBox::SetStyle(TStyle style)
{
    const bool editable = style == TStyle::DropDown;
    if (editable == isEditable())
        return;
    setEditable(editable);
    if (editable) {
        // setEditable makes a new line edit each time.
        QLineEdit *edit = lineEdit();
        connect(edit, &QLineEdit::textEdited, this, [this] { userEdited(); });
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            if (m_finishing || !m_link.Modified())
                return;
            QScopedValueRollback guard(m_finishing, true);
            Guarded([this] {
                m_link.WritePending(currentText());
                showField();
            });
        });
    }
    showField();
}

void TDBComboBox::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    showField();
}

bool TDBComboBox::canChange() const
{
    return !m_readOnly && !fieldReadOnly(Field());
}

void TDBComboBox::showPopup()
{
    if (canChange())
        QComboBox::showPopup();
}

void TDBComboBox::keyPressEvent(QKeyEvent *event)
{
    if (!canChange() && !isEditable()) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TDBComboBox::wheelEvent(QWheelEvent *event)
{
    if (!canChange()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void TDBComboBox::showField()
{
    m_link.Reset();
    const QString t = fieldText(Field());
    const int index = findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (currentIndex() != index)
        setCurrentIndex(index);
    if (isEditable()) {
        if (currentText() != t)
            setEditText(t);
        lineEdit()->setReadOnly(!canChange());
    }
}

void TDBComboBox::userChose(int index)
{
    if (!canChange()) {
        showField();
        return;
    }
    const QString chosen = itemText(index);
    const bool ok = Guarded([&] {
        m_link.Write([&](TField &field) { field.SetText(chosen); });
        showField();
        emit userChanged(currentIndex());
    });
    if (!ok)
        showField();
}

void TDBComboBox::userEdited()
{
    if (!Guarded([this] { m_link.BeginUserEdit(); }))
        showField();
}

// ---- TDBCheckBox -------------------------------------------------------------------

TDBCheckBox::TDBCheckBox(QWidget *parent) : QCheckBox(parent), m_link()
{
    m_link.OnDataChange = [this] { showField(); };
    connect(this, &QAbstractButton::clicked, this, [this](bool checked) { userToggled(checked); });
    showField();
}

TDBCheckBox::~TDBCheckBox()
{
    disconnect(this, nullptr, this, nullptr);
}

void TDBCheckBox::SetDataSource(TDataSource *source)
{
    m_link.SetSource(source);
}

void TDBCheckBox::SetDataField(const QString &name)
{
    m_link.SetFieldName(name);
}

void TDBCheckBox::SetCheckValues(const QString &checked, const QString &unchecked)
{
    m_valueChecked = checked;
    m_valueUnchecked = unchecked;
    showField();
}

void TDBCheckBox::nextCheckState()
{
    if (!m_readOnly && !fieldReadOnly(Field()))
        QCheckBox::nextCheckState();
}

void TDBCheckBox::showField()
{
    const TField *field = Field();
    bool on = false;
    if (field) {
        try {
            on = m_valueChecked.isEmpty() && m_valueUnchecked.isEmpty()
                ? field->AsBoolean()
                : field->Text().compare(m_valueChecked, Qt::CaseInsensitive) == 0;
        } catch (const std::exception &e) {
            LogDisplayError(field, e);
        }
    }
    setChecked(on);
}

void TDBCheckBox::userToggled(bool checked)
{
    if (!m_readOnly && !fieldReadOnly(Field())) {
        Guarded([&] {
            m_link.Write([&](TField &field) {
                if (m_valueChecked.isEmpty() && m_valueUnchecked.isEmpty())
                    field.SetAsBoolean(checked);
                else
                    field.SetText(checked ? m_valueChecked : m_valueUnchecked);
            });
        });
    }
    showField();
}
