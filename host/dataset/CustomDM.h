#pragma once
// Base of the modules' data modules: holds the shared connection, the field
// validations run before every post, and helpers over the connection.

#include "KExport.h"
#include "Validator.h"

#include <QObject>
#include <QStringList>
#include <memory>

class TDataSet;
class TZConnection;
class TField;

class KCOMMON_EXPORT TCustomDM : public QObject
{
    Q_OBJECT
public:
    explicit TCustomDM(QObject *owner = nullptr);
    ~TCustomDM() override;

    // Hands over the connection; every query of the module uses it.
    void SetZConnection(TZConnection *connection);
    TZConnection *ZConnection() const { return m_connection; }

    // Before-post handler: runs the validator; throws on a failed field.
    void CommonBeforePost(TDataSet &dataSet);
    // Before-delete handler: asks the user to confirm; a No aborts silently.
    void CommonBeforeDelete(TDataSet &dataSet);
    // The same with a question that names what goes, "Ne" the default.
    void ConfirmDelete(const QString &question);

    // Inserts one copy of every row of table that satisfies condition (its ?
    // marks take conditionParams); the copies keep every column but the key
    // (assigned by the database) and those named in assignments
    // ("column=value", "column=NULL"). An assigned text is converted by the
    // data module's field of that column when there is one (so "False"
    // becomes a stored flag). Values go through bound parameters. extra is
    // reserved and ignored. Returns the number of rows copied.
    int CopyDataSet(const QString &table, const QString &condition, const QStringList &assignments,
                    const QString &extra, const QVariantList &conditionParams = {});
    // The key the database assigned to the last row inserted on the connection.
    qint64 GetLastInsertID();
    // Fills list with the values of column in table (distinct when asked),
    // sorted; where and orderBy are optional SQL pieces.
    void GetFieldValues(const QString &column, const QString &table, QStringList &list, bool distinct,
                        const QString &where, const QString &orderBy);

protected:
    // Runs CreateFieldValidations and CreateRelations; derived data modules
    // call it from their creation event.
    virtual void DataModuleCreate();
    virtual void CreateFieldValidations() {}
    virtual void CreateRelations() {}

    TZConnection &Connection() const; // throws when there is none

    TFieldValidations FFieldValidations;
    std::unique_ptr<TValidator> FValidator;

private:
    // A field of one of this module's queries that writes column of table.
    const TField *tableField(const QString &table, const QString &column) const;

    TZConnection *m_connection = nullptr;
};

// Field tests of the host.
// A date (or date-time) between the years 1900 and 9999.
KCOMMON_EXPORT bool TestDate(TField &field);
// A text that is not empty once trimmed.
KCOMMON_EXPORT bool TestZeroLength(TField &field);
// True when no row of table other than the field's own row (told apart by
// keyColumn) holds the field's value in column among the rows satisfying
// condition, whose ? marks take conditionParams. flags is reserved.
KCOMMON_EXPORT bool TestUnique(TField &field, const QString &table, const QString &column,
                               const QString &keyColumn, const QString &condition, int flags,
                               const QVariantList &conditionParams = {});
