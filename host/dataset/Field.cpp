#include "Field.h"

#include "DataSet.h"
#include "InterfaceScript.h"
#include "KException.h"

TField::TField(TDataSet &dataSet, QString fieldName, TFieldType type, int size)
    : m_dataSet(dataSet), m_fieldName(std::move(fieldName)), m_type(type), m_size(size)
{
}

QVariant TField::Value() const
{
    return m_dataSet.FieldValue(*this);
}

void TField::SetValue(const QVariant &value)
{
    m_dataSet.SetFieldValue(*this, Convert(value));
}

QVariant TField::Convert(const QVariant &value) const
{
    if (value.isNull() || !value.isValid())
        return {};
    TConverted converted = TypeOps(m_type).convert(value, m_size);
    switch (converted.result) {
    case TConvertResult::Ok:
        break;
    case TConvertResult::NotOfType:
        // Dates say how they are written: a clerk types them many ways.
        if (m_type == TFieldType::Date)
            throw EDatabaseError(UiText(u"Polje '%1': '%2' nije datum (piše se npr. 01.11.2026).")
                                     .arg(DisplayLabel(), value.toString()));
        if (m_type == TFieldType::DateTime)
            throw EDatabaseError(UiText(u"Polje '%1': '%2' nije datum i vreme (piše se npr. 01.11.2026 14:30).")
                                     .arg(DisplayLabel(), value.toString()));
        throw EDatabaseError(UiText(u"'%1' nije ispravna vrednost za polje '%2'.")
                                 .arg(value.toString(), DisplayLabel()));
    case TConvertResult::TooLong:
        throw EDatabaseError(UiText(u"Tekst u polju '%1' je duži od %2 znakova.")
                                 .arg(DisplayLabel())
                                 .arg(m_size));
    }
    return std::move(converted.value);
}

qint64 TField::AsLargeInt() const
{
    const QVariant v = Value();
    if (v.isNull())
        return 0;
    const std::optional<qint64> n = TypeOps(m_type).asLargeInt(v);
    if (!n)
        throw EDatabaseError(UiText(u"'%1' u polju '%2' nije ceo broj.").arg(v.toString().trimmed(), DisplayLabel()));
    return *n;
}

int TField::AsInteger() const
{
    return int(AsLargeInt());
}

QString TField::AsString() const
{
    return DefaultText(Value());
}

bool TField::AsBoolean() const
{
    const QVariant v = Value();
    return !v.isNull() && TypeOps(m_type).asBoolean(v);
}

QDateTime TField::AsDateTime() const
{
    const QVariant v = Value();
    return v.isNull() ? QDateTime() : TypeOps(m_type).asDateTime(v);
}

double TField::AsFloat() const
{
    return Value().toDouble();
}

void TField::SetAsString(const QString &v)
{
    SetValue(v);
}

QString TField::DefaultText(const QVariant &value) const
{
    return value.isNull() ? QString() : TypeOps(m_type).text(value);
}

QString TField::getText(bool display) const
{
    // A stored value another tool wrote in a form this field cannot read:
    // shown as such, and offered as it is for correcting.
    if (const QString raw = m_dataSet.UnreadableText(*this); !raw.isNull())
        return display ? UiText(u"‹nečitljivo: %1›").arg(raw) : raw;
    QString text;
    if (OnGetText)
        OnGetText(const_cast<TField &>(*this), text, display);
    else
        text = DefaultText(Value());
    return text;
}

QString TField::DisplayText() const
{
    return getText(true);
}

QString TField::Text() const
{
    return getText(false);
}

void TField::SetText(const QString &text)
{
    if (OnSetText)
        OnSetText(*this, text);
    else
        SetValue(text);
}
