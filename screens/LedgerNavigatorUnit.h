#pragma once
// The ledger's search frame: search fields in a value list; the search
// replaces the condition of the shared item query and opens it newest first.
// The partner and user rows have clear buttons.

#include "CustomNavigatorForm.h"

#include <QChar>

class TLedgerNavigatorForm : public TCustomNavigatorForm
{
    Q_OBJECT
public:
    explicit TLedgerNavigatorForm(QWidget *owner);
    ~TLedgerNavigatorForm() override;

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
    // The users picked for "Upućeno od" and "Namenjeno"; 0 until one is.
    qint32 FInUserID = 0;
    qint32 FOutUserID = 0;
};
