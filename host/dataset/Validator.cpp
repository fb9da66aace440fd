#include "Validator.h"

#include "CommonStrings.h"
#include "Field.h"
#include "KException.h"

TFieldValidation FieldValidation(TField *field, bool required, TFieldTest test, const QString &requiredMessage,
                                 const QString &invalidMessage)
{
    return TFieldValidation{field, required, std::move(test), requiredMessage, invalidMessage};
}

void TValidator::Validate() const
{
    for (const TFieldValidation &v : m_validations) {
        if (!v.Field)
            continue;
        TField &f = *v.Field;
        const bool empty = f.IsNull() || (f.DataType() == TFieldType::String && f.AsString().isEmpty());
        if (empty) {
            if (v.Required)
                throw KException(FormatStr(v.RequiredMessage, {f.DisplayLabel()}));
            continue;
        }
        if (v.Test && !v.Test(f))
            throw KException(FormatStr(v.InvalidMessage, {f.DisplayLabel()}));
    }
}
