#pragma once
// The office's classification plan as the ledger uses it: the active marks
// ("0", "01", "011": a group and its decimal subgroups), each with its name
// and how long its documents are kept, read from the table the console's
// "Klasifikacioni plan" keeps. The clerk finds a mark by its beginning or
// by words of its name, in any case, script or without diacritics; an item
// may carry only a mark of the plan (or none).

#include "Validator.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class TZConnection;

struct TClassificationMark
{
    QString Mark;                      // "011"
    QString Name;                      // "Kadrovski poslovi"
    std::optional<int> RetentionYears; // none: kept for ever ("trajno")
};

// "1 godina", "3 godine", "10 godina", "21 godina", "trajno".
QString RetentionText(std::optional<int> years);
// The same in a narrow column: "10 god.", "trajno".
QString RetentionShort(std::optional<int> years);
// "011 – Kadrovski poslovi (10 godina)", as the completion lists it.
QString ClassificationCaption(const TClassificationMark &mark);

class TClassificationPlan
{
public:
    // Reads the active marks in their order ("0", "01", "011", "02", "1");
    // replaces what was read before. Throws EDatabaseError.
    void Load(TZConnection &connection);
    const QList<TClassificationMark> &Marks() const { return m_marks; }
    // The active mark written so, or null.
    const TClassificationMark *Find(const QString &mark) const;
    // The marks matching what the clerk typed, in the plan's order, at most
    // limit: every typed word must match, a word of digits the beginning of
    // the mark, any other word the beginning of a word of the name (folded:
    // "kadr" and "кадр" find "Kadrovski"). Blank text matches none.
    QList<TClassificationMark> Matches(const QString &typed, int limit = 50) const;

private:
    QList<TClassificationMark> m_marks;
    QList<QStringList> m_nameWords; // folded, per mark
};

// Why mark may not stand on item itemID (0: a new item), naming the field by
// label; empty when it may: a mark of the plan that is active, or that the
// stored item has already. Throws EDatabaseError.
QString ItemClassificationRefusal(TZConnection &connection, const QString &mark, qint64 itemID, const QString &label);

// The items' rule for field: empty or a mark ItemClassificationRefusal lets
// through; a refusal throws KException with its message. The connection and
// the item's id are asked for when the rule runs.
TFieldValidation ClassificationValidation(TField *field, std::function<TZConnection *()> connection,
                                          std::function<qint64()> itemID);
