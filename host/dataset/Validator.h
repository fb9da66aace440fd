#pragma once
// Field validations run before every post: a required flag, a test and two
// messages per field. The first failing field refuses the post.

#include "KExport.h"

#include <QString>
#include <functional>
#include <vector>

class TField;

// Answers true when the field's value is acceptable.
using TFieldTest = std::function<bool(TField &)>;

struct TFieldValidation
{
    TField *Field = nullptr;
    bool Required = false;
    TFieldTest Test;
    QString RequiredMessage; // format with %s for the field's label
    QString InvalidMessage;  // format with %s for the field's label
};

using TFieldValidations = std::vector<TFieldValidation>;

KCOMMON_EXPORT TFieldValidation FieldValidation(TField *field, bool required, TFieldTest test,
                                                const QString &requiredMessage, const QString &invalidMessage);

class KCOMMON_EXPORT TValidator
{
public:
    explicit TValidator(const TFieldValidations &validations) : m_validations(validations) {}
    // Throws KException with the message of the first failing field: the
    // required-message when a required field is null or empty, else the
    // invalid-message when its test answers false. A null optional field
    // is not tested.
    void Validate() const;

private:
    const TFieldValidations &m_validations;
};
