#pragma once
// Controls bound to one field of a data source: an edit, a combo box and a
// check box. Each shows the field of the data set's current row; the user's
// first change puts the data set in edit mode, and the input reaches the field
// through TField::SetText (or SetAsBoolean). The controls know the data set
// only through their TFieldDataLink.

#include "DataSource.h"
#include "KExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaObject>
#include <functional>

// The link of a control bound to one field. It looks the field up again
// whenever the data set may have rebuilt its fields (a data source or data
// set destroyed before the control is reported as a data change, so the
// control clears itself), and keeps the user's pending text: while the control holds
// text typed on the current row of an edit, changes of that row do not
// overwrite it.
class KCOMMON_EXPORT TFieldDataLink final : public TDataLink
{
public:
    TFieldDataLink() = default;

    void SetSource(TDataSource *source);
    QString FieldName() const { return m_fieldName; }
    void SetFieldName(const QString &name);

    // The bound field; null without a source or data set, while the data set
    // is closed, or when it has no such field.
    TField *Field() const;
    bool Editing() const; // the data set is in Edit or Insert

    // The user started typing: puts the data set in edit mode when browsing
    // and marks the control's text pending. Throws when refused.
    void BeginUserEdit();
    bool Modified() const { return m_modified; }
    void Reset() { m_modified = false; }
    // Writes the pending text into the field and clears the mark; throws
    // (keeping the mark) when the field refuses it. Does nothing when the
    // data set is no longer editing.
    void WritePending(const QString &text);
    // A change written at once (a chosen item, a toggle): starts editing
    // when browsing, then runs write on the field. Throws when refused.
    void Write(const std::function<void(TField &)> &write);

    // Set by the control.
    std::function<void()> OnDataChange; // show the field again (pending text already dropped)
    std::function<void()> OnUpdateData; // hand pending input to the field; may throw

private:
    void DataSetChanged() override;
    void RecordChanged(TField *field) override;
    void DataSetScrolled() override;
    void UpdateData() override;

    void changed(bool keepPending);

    QString m_fieldName;
    mutable int m_fieldIndex = -1;
    bool m_modified = false;
    bool m_busy = false; // our own write or Edit() is notifying back
    int m_pendingRecNo = 0;
};

// A line edit over a field's Text(). Typed text stays pending until the post
// (UpdateData) or until editing finishes (Return, focus leaving); a text the
// field cannot convert refuses the post and stays in the control.
class KCOMMON_EXPORT TDBEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TDBEdit(QWidget *parent = nullptr);
    ~TDBEdit() override;

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_link.DataSource(); }
    void SetDataField(const QString &name);
    QString DataField() const { return m_link.FieldName(); }
    TField *Field() const { return m_link.Field(); }

    // The control is also read-only while unbound or bound to a read-only field.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    // Typing stops at the column's size unless this is turned off; then a
    // longer text (a long one pasted whole) stays in the control and the
    // post refuses it with the field's message, nothing silently cut.
    void SetStopAtSize(bool stop);

private:
    void showField();
    void userEdited();

    TFieldDataLink m_link;
    bool m_readOnly = false;
    bool m_stopAtSize = true;
    bool m_finishing = false;
};

// A combo box over a field's Text(): shows the item equal to the text, or no
// item (index -1) when none is. Choosing an item writes its text to the field
// at once and then emits userChanged; in the DropDown style typed text
// behaves as in TDBEdit.
class KCOMMON_EXPORT TDBComboBox : public QComboBox
{
    Q_OBJECT
public:
    enum class TStyle { DropDown, DropDownList }; // DropDownList: no typing

    explicit TDBComboBox(QWidget *parent = nullptr);
    ~TDBComboBox() override;

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_link.DataSource(); }
    void SetDataField(const QString &name);
    QString DataField() const { return m_link.FieldName(); }
    TField *Field() const { return m_link.Field(); }

    QStringList Items() const;
    void SetItems(const QStringList &items);
    TStyle Style() const { return isEditable() ? TStyle::DropDown : TStyle::DropDownList; }
    void SetStyle(TStyle style);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    void showPopup() override;

signals:
    // The user chose an item and the field holds its text. Emitted inside a
    // guarded handler: an exception from a direct slot is shown, not lost.
    void userChanged(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void showField();
    void userChose(int index);
    void userEdited();
    bool canChange() const;

    TFieldDataLink m_link;
    bool m_readOnly = false;
    bool m_finishing = false;
};

// A check box over a field: AsBoolean() / SetAsBoolean(), or, when check
// values are given, the field's text compared with and set to them (for
// columns that keep 'y' / 'n').
class KCOMMON_EXPORT TDBCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit TDBCheckBox(QWidget *parent = nullptr);
    ~TDBCheckBox() override;

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_link.DataSource(); }
    void SetDataField(const QString &name);
    QString DataField() const { return m_link.FieldName(); }
    TField *Field() const { return m_link.Field(); }

    // Texts written for checked / unchecked; both empty means a boolean.
    void SetCheckValues(const QString &checked, const QString &unchecked);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

protected:
    void nextCheckState() override;

private:
    void showField();
    void userToggled(bool checked);

    TFieldDataLink m_link;
    QString m_valueChecked, m_valueUnchecked;
    bool m_readOnly = false;
};
