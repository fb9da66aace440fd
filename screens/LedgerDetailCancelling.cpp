// The detail form's storno ("Storniraj", a cancelled item read-only with its
// reason) and the number that follows the date's year.

#include "LedgerDetailUnit.h"

#include "DBControls.h"
#include "Dialogs.h"
#include "Guard.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerNumber.h"
#include "data/LedgerStorno.h"
#include "data/LedgerYearRule.h"
#include "screens/CancelItemDialog.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

namespace {

// Tells the form when the item's date changes, however it was set.
class TDateLink : public TDataLink
{
public:
    TDateLink(TLedgerDetailForm &form, TField &date) : m_form(form), m_date(date) {}

    void RecordChanged(TField *field) override
    {
        if (field == &m_date && !m_busy) {
            m_busy = true;
            Guarded([this] { m_form.DatetimeChange(); });
            m_busy = false;
        }
    }

private:
    TLedgerDetailForm &m_form;
    TField &m_date;
    bool m_busy = false;
};

} // namespace

void TLedgerDetailForm::addCancelling()
{
    ConnectGuarded(CancelItemAction, [this] { CancelItemActionExecute(); });
    FDateLink = std::make_unique<TDateLink>(*this, *FItems->LedgerItemZQledgerdatetime);
    FDateLink->SetDataSource(FItems->LedgerItemDS);
}

// Offered on a stored item that is not cancelled and not a pass-on copy;
// who may cancel it is said when it is asked for.
void TLedgerDetailForm::CancelItemActionUpdate()
{
    CancelItemAction->setEnabled(FItems->LedgerItemZQledgeritemid->AsLargeInt() > 0
                                 && !FItems->LedgerItemZQcancelled->AsBoolean()
                                 && FItems->LedgerItemZQpassonparentid->IsNull());
}

void TLedgerDetailForm::CancelItemActionExecute()
{
    if (!CancelCurrentItem(this, *FItems))
        return;
    // The item set shows the row as stored now; the form follows it.
    if (FItems->LedgerItemZQcancelled->AsBoolean())
        SetActivity();
    UpdateActions();
}

// The line above the page says who cancelled it, when and why; nothing is
// typed, picked or ticked any more.
void TLedgerDetailForm::lockCancelled()
{
    const auto note = ReadCancelNote(*LedgerDM->ZConnection(), FItems->LedgerItemZQledgeritemid->AsLargeInt());
    TCancelNote shown = note.value_or(TCancelNote{FItems->LedgerItemZQcancelreason->AsString(), {},
                                                  FItems->LedgerItemZQcancelledat->AsDateTime()});
    ReadOnlyLabel->setText(CancelNoteText(shown));
    resize(width(), 510 + ReadOnlyLabel->heightForWidth(width()));
    DBCheckBox2->setEnabled(false);
    DBEdit13->SetReadOnly(true);
}

void TLedgerDetailForm::DatetimeChange()
{
    TZQuery &query = *FItems->LedgerItemZQ;
    TField &when = *FItems->LedgerItemZQledgerdatetime;
    TField &number = *FItems->LedgerItemZQledgernumber;
    // Only a date the user changes; a pass-on copy keeps its origin's number
    // and an enclosure follows its item's.
    const bool editing = query.State() == TDataSetState::Edit || query.State() == TDataSetState::Insert;
    if (!editing || when.IsNull() || !FItems->LedgerItemZQpassonparentid->IsNull()
        || ParseLedgerNumber(number.AsString()).Enclosure())
        return;
    const QDateTime at = when.AsDateTime();
    if (LedgerNumberYear(number.AsString()) == at.date().year() % 100)
        return;
    const int direction = FItems->LedgerItemZQdirection->AsInteger();
    // Back in the year and direction it was stored with: its own number again.
    if (query.State() == TDataSetState::Edit) {
        const QString stored = query.OldValue(number).toString();
        if (query.OldValue(*FItems->LedgerItemZQdirection).toInt() == direction
            && LedgerNumberYear(stored) == at.date().year() % 100) {
            number.SetAsString(stored);
            return;
        }
    }
    number.SetAsString(LedgerDM->NextLedgerNumber(at, direction));
}
