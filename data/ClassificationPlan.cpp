#include "ClassificationPlan.h"

#include "Field.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianFold.h"
#include "ZConnection.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>

namespace {

bool allDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QStringList words(const QString &folded)
{
    static const QRegularExpression separators(QStringLiteral("[^\\w]+"), QRegularExpression::UseUnicodePropertiesOption);
    return folded.split(separators, Qt::SkipEmptyParts);
}

} // namespace

QString RetentionText(std::optional<int> years)
{
    if (!years)
        return UiText(u"trajno");
    const int n = *years;
    // 2, 3, 4, 22, 103 godine; 1, 5-20, 21, 111 godina.
    const bool few = n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14);
    return QStringLiteral("%1 %2").arg(n).arg(few ? UiText(u"godine") : UiText(u"godina"));
}

QString RetentionShort(std::optional<int> years)
{
    return years ? UiText(u"%1 god.").arg(*years) : UiText(u"trajno");
}

QString ClassificationCaption(const TClassificationMark &mark)
{
    return QStringLiteral("%1 – %2 (%3)").arg(mark.Mark, mark.Name, RetentionText(mark.RetentionYears));
}

void TClassificationPlan::Load(TZConnection &connection)
{
    QList<TClassificationMark> marks;
    auto q = connection.OpenQuery(
        QStringLiteral("SELECT mark, name, retentionyears FROM classification WHERE active = 'y'"));
    while (q->next()) {
        std::optional<int> years;
        if (!q->value(2).isNull())
            years = q->value(2).toInt();
        marks.push_back({q->value(0).toString(), q->value(1).toString(), years});
    }
    // Text order of the marks is the plan's: each group before its subgroups.
    std::sort(marks.begin(), marks.end(), [](const auto &a, const auto &b) { return a.Mark < b.Mark; });
    m_marks = marks;
    m_nameWords.clear();
    for (const TClassificationMark &m : m_marks)
        m_nameWords.push_back(words(SerbianFold(m.Name)));
}

const TClassificationMark *TClassificationPlan::Find(const QString &mark) const
{
    const auto it = std::find_if(m_marks.begin(), m_marks.end(), [&](const auto &m) { return m.Mark == mark; });
    return it == m_marks.end() ? nullptr : &*it;
}

QList<TClassificationMark> TClassificationPlan::Matches(const QString &typed, int limit) const
{
    const QStringList wanted = words(SerbianFold(typed));
    QList<TClassificationMark> found;
    if (wanted.isEmpty())
        return found;
    for (int i = 0; i < m_marks.size() && found.size() < limit; ++i) {
        const bool all = std::all_of(wanted.begin(), wanted.end(), [&](const QString &word) {
            if (allDigits(word))
                return m_marks[i].Mark.startsWith(word);
            const QStringList &name = m_nameWords[i];
            return std::any_of(name.begin(), name.end(), [&](const QString &w) { return w.startsWith(word); });
        });
        if (all)
            found.push_back(m_marks[i]);
    }
    return found;
}

QString ItemClassificationRefusal(TZConnection &connection, const QString &mark, qint64 itemID, const QString &label)
{
    auto q = connection.OpenQuery(QStringLiteral("SELECT active FROM classification WHERE mark = ?"), {mark});
    if (!q->next())
        return UiText(u"Polje \"%1\": oznaka „%2“ ne postoji u klasifikacionom planu.").arg(label, mark);
    if (q->value(0).toString() == QLatin1String("y"))
        return {};
    // A mark deactivated since stays on the items that have it.
    if (itemID != 0) {
        auto stored = connection.OpenQuery(
            QStringLiteral("SELECT classification FROM ledgeritem WHERE ledgeritemid = ?"), {itemID});
        if (stored->next() && stored->value(0).toString() == mark)
            return {};
    }
    return UiText(u"Polje \"%1\": oznaka „%2“ više nije aktivna u klasifikacionom planu.").arg(label, mark);
}

TFieldValidation ClassificationValidation(TField *field, std::function<TZConnection *()> connection,
                                          std::function<qint64()> itemID)
{
    TFieldValidation validation;
    validation.Field = field;
    validation.Required = false;
    validation.Test = [connection = std::move(connection), itemID = std::move(itemID)](TField &f) {
        TZConnection *c = connection();
        if (!c)
            return true; // no book to look in: nothing to hold it against
        const QString refusal = ItemClassificationRefusal(*c, f.AsString(), itemID(), f.DisplayLabel());
        if (!refusal.isEmpty())
            throw KException(refusal);
        return true;
    };
    return validation;
}
