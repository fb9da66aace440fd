#include "LedgerItemTypeField.h"

#include "DBControls.h"
#include "Guard.h"
#include "SerbianDisplayOrder.h"
#include "SerbianFold.h"
#include "data/LedgerContext.h"

#include <QCompleter>
#include <QLineEdit>

namespace {

constexpr int FoldedRole = Qt::UserRole + 11;

// Completes from the drop-down's own items, matching folded text with
// folded text, and puts the item's own text into the line.
class TFoldedCompleter : public QCompleter
{
public:
    TFoldedCompleter(QAbstractItemModel *model, QObject *parent) : QCompleter(model, parent)
    {
        setCompletionRole(FoldedRole);
        setCaseSensitivity(Qt::CaseSensitive); // both sides are folded already
        setFilterMode(Qt::MatchContains);
        setCompletionMode(QCompleter::PopupCompletion);
    }

    QStringList splitPath(const QString &path) const override { return {SerbianFold(path)}; }
    QString pathFromIndex(const QModelIndex &index) const override { return index.data(Qt::DisplayRole).toString(); }
};

} // namespace

TLedgerItemTypeField::TLedgerItemTypeField(TDBComboBox *combo, const ILedgerContext *context)
    : QObject(combo), m_combo(combo), m_context(context)
{
    m_combo->setCompleter(new TFoldedCompleter(m_combo->model(), m_combo));
    // After the focus has moved on, so the question does not cut into it.
    connect(m_combo->lineEdit(), &QLineEdit::editingFinished, this, [this] { OfferTyped(); }, Qt::QueuedConnection);
}

void TLedgerItemTypeField::Fill(const std::function<QStringList()> &inUse)
{
    m_managed = m_context && m_context->Service<IItemTypes>();
    QStringList types = m_managed ? m_context->ItemTypes() : inUse();
    SortForDisplay(types);
    m_combo->SetItems(types);
    for (int i = 0; i < m_combo->count(); ++i)
        m_combo->setItemData(i, SerbianFold(m_combo->itemText(i)), FoldedRole);
    m_openedWith = SerbianFold(m_combo->currentText().trimmed());
}

bool TLedgerItemTypeField::onList(const QString &folded) const
{
    return m_combo->findData(folded, FoldedRole, Qt::MatchExactly) >= 0;
}

void TLedgerItemTypeField::OfferTyped()
{
    if (!m_managed || !m_combo->isVisible() || !m_combo->isEnabled() || m_combo->lineEdit()->isReadOnly())
        return;
    const QString typed = m_combo->currentText().trimmed();
    const QString folded = SerbianFold(typed);
    if (folded.isEmpty() || folded == m_openedWith || onList(folded) || m_offered.contains(folded))
        return;
    TUserDesc user;
    if (!m_context->CurrentUser(user) || !user.Administrator)
        return;
    m_offered.insert(folded);
    // A refusal of the list is shown and the item goes on as typed.
    Guarded([&] {
        if (m_context->AddItemType(typed))
            addToDropDown(typed);
    });
}

// Inserted in the Serbian order, leaving what the line holds as it is.
void TLedgerItemTypeField::addToDropDown(const QString &name)
{
    const QString text = m_combo->currentText();
    int at = 0;
    const TSerbianDisplayLess less;
    while (at < m_combo->count() && less(m_combo->itemText(at), name))
        ++at;
    m_combo->insertItem(at, name);
    m_combo->setItemData(at, SerbianFold(name), FoldedRole);
    if (m_combo->currentText() != text)
        m_combo->setEditText(text);
}
