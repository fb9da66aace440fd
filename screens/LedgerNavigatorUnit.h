#pragma once
// The ledger's search frame: search fields in a value list; the search
// gives its condition to the item set of the list it serves (the console's
// list, or the picker's) and opens it newest first. The partner and user
// rows have clear buttons.

#include "CustomNavigatorForm.h"

#include <QChar>
#include <functional>

class TLedgerItems;
struct TLedgerSearchCriteria;

class TLedgerNavigatorForm : public TCustomNavigatorForm
{
    Q_OBJECT
public:
    explicit TLedgerNavigatorForm(QWidget *owner);
    ~TLedgerNavigatorForm() override;

    // The items a search shows: asked for on each search, as the list may
    // come and go. Without a target (or when it answers null) a search
    // does nothing.
    using TSearchTarget = std::function<TLedgerItems *()>;
    void SetSearchTarget(TSearchTarget target) { FSearchTarget = std::move(target); }

    void SetSearchProps() override;
    // The item query's text with the search condition in place; the values
    // typed go to params.
    QString ParseSQL(QVariantList &params) override;
    void FindButtonClick() override;
    // Delete and Backspace empty a user row and forget the user picked.
    void SearchVLEKeyDown(int &key, Qt::KeyboardModifiers modifiers) override;
    // The value list's ellipsis button: date, partner and user pickers.
    void SearchVLEEditButtonClick();
    // Typed characters; the user rows take a value from the picker only.
    void SearchVLEKeyPress(QChar &key);

private:
    // The cells and the picked users as criteria.
    TLedgerSearchCriteria searchCriteria() const;
    // The search's condition over the item query's aliases.
    QString searchCondition(QVariantList &params) const;

    TSearchTarget FSearchTarget;
    // The users picked for "Upućeno od" and "Namenjeno"; 0 until one is.
    qint32 FInUserID = 0;
    qint32 FOutUserID = 0;
};
