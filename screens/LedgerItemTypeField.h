#pragma once
// The detail form's "Vrsta dokumenta": its drop-down offers the book's list
// of document types (the types already in use where the console keeps no
// list), and what is typed is completed from it whatever the case,
// diacritics or script ("resenje" offers "Rešenje"). The item keeps any
// text typed. An administrator who leaves the field, or stores the item,
// with a new text not on the list is asked whether to add it; whatever the
// answer, the item is stored as typed.

#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>

class ILedgerContext;
class TDBComboBox;

class TLedgerItemTypeField : public QObject
{
    Q_OBJECT
public:
    // combo: the editable combo bound to itemtype, whose child this becomes.
    TLedgerItemTypeField(TDBComboBox *combo, const ILedgerContext *context);

    // Fills the drop-down from the book's list, or from inUse without one,
    // in the order of the interface's script.
    void Fill(const std::function<QStringList()> &inUse);
    // Offers the typed text for the list (see above); each text is offered
    // once while the form is open.
    void OfferTyped();

private:
    bool onList(const QString &folded) const;
    void addToDropDown(const QString &name);

    TDBComboBox *m_combo;
    const ILedgerContext *m_context;
    bool m_managed = false;   // the drop-down holds the book's list
    QString m_openedWith;     // folded text of the item as the form got it
    QSet<QString> m_offered;  // folded texts already offered
};
