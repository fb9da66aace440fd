#pragma once
// Typed field objects of a data set. A field owns conversion between the
// stored value and text, its display label and its text handlers; it reads
// and writes the data set's current row (or its edit buffer).

#include "KExport.h"
#include "FieldType.h"
#include "StoredForm.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class TDataSet;

class KCOMMON_EXPORT TField
{
public:
    using TGetTextEvent = std::function<void(TField &sender, QString &text, bool displayText)>;
    using TSetTextEvent = std::function<void(TField &sender, const QString &text)>;

    TField(TDataSet &dataSet, QString fieldName, TFieldType type, int size = 0);
    TField(const TField &) = delete;
    TField &operator=(const TField &) = delete;

    TDataSet &DataSet() const { return m_dataSet; }
    const QString &FieldName() const { return m_fieldName; }
    TFieldType DataType() const { return m_type; }
    int Size() const { return m_size; }

    QString DisplayLabel() const { return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel; }
    void SetDisplayLabel(const QString &label) { m_displayLabel = label; }
    bool Required = false;
    bool ReadOnly = false;
    int DisplayWidth = 0;
    TGetTextEvent OnGetText;
    TSetTextEvent OnSetText;

    // Not a column of the table the data set writes (joined or computed);
    // never written, and may take display values while browsing.
    bool IsDisplayOnly() const { return m_displayOnly; }

    QVariant Value() const;
    void SetValue(const QVariant &value); // converts to the field's type
    bool IsNull() const { return Value().isNull(); }
    void Clear() { SetValue(QVariant()); }

    qint64 AsLargeInt() const;
    int AsInteger() const;               // 0 when null
    QString AsString() const;            // empty when null
    bool AsBoolean() const;              // false when null
    QDateTime AsDateTime() const;        // invalid when null
    double AsFloat() const;
    void SetAsLargeInt(qint64 v) { SetValue(QVariant::fromValue(v)); }
    void SetAsInteger(int v) { SetValue(v); }
    void SetAsString(const QString &v);
    void SetAsBoolean(bool v) { SetValue(v); }
    void SetAsDateTime(const QDateTime &v) { SetValue(v); }

    // Text for display and for editing: the OnGetText handler when set.
    QString DisplayText() const;
    QString Text() const;
    // Writes text through OnSetText when set, else converts it.
    void SetText(const QString &text);

    // Converts any value to this field's type; throws EDatabaseError when it
    // cannot (a text that is no date, say).
    QVariant Convert(const QVariant &value) const;
    // Text of a value without handlers.
    QString DefaultText(const QVariant &value) const;

    // Flags as the database keeps them, 'y' and 'n'; reading also takes 1/0,
    // t/f, true/false and da/ne. nullopt for anything else (StoredForm.h).
    static QString EncodeFlag(bool value) { return StoredFlag(value); }
    static std::optional<bool> DecodeFlag(QStringView text) { return ReadStoredFlag(text); }

private:
    friend class TDataSet;
    QString getText(bool display) const;

    TDataSet &m_dataSet;
    QString m_fieldName;
    TFieldType m_type;
    int m_size;
    QString m_displayLabel;
    bool m_displayOnly = false;
    int m_column = -1; // index in the data set's store
};
