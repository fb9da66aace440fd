#pragma once
// The detail form's Partner field as the clerk types into it. A list opens
// under the field with the active partners whose names hold the typed text
// (TPartnerLookup: "cacak" finds "Čačak", names starting with it first, at
// most Limit of them) and "Novi partner…" last, which hands the text to the
// console's partner form (IPartner::NewPartner). Choosing a row sets the
// item's partnerid and the name shown. Typed text is never stored as it is:
// leaving the field with a name no partner has (or several have) keeps the
// item's partner and says so in the status line and a tip at the field;
// emptied, the field clears the partner; Esc brings the partner's name back.
// The partners are read once, on the first keystroke, and again after a new
// one was added.

#include "data/PartnerLookup.h"

#include <QObject>
#include <QString>

class QStandardItemModel;
class QTreeView;
class TDBEdit;
class TLedgerItems;

class TPartnerCompletion : public QObject
{
    Q_OBJECT
public:
    static constexpr int Limit = 50;

    // A child of edit; edit shows items' partnername.
    TPartnerCompletion(TDBEdit &edit, TLedgerItems &items);

    // The list under the field (object name "PartnerPopup"): partners, then "Novi partner…".
    QTreeView *Popup() const { return m_popup; }
    // Settles text typed and not chosen, as leaving the field does: before a post.
    void Settle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool popupKey(QEvent *event);
    bool editKey(QEvent *event);
    void typed();
    void showMatches(const QString &text);
    void choose(int row);
    void newPartner();
    void setPartner(qint64 id, const QString &name);
    QString partnerName() const;
    void keepPartner(const QString &notice);
    void finishTyping(const QString &shown);
    void hidePopup();
    const TPartnerLookup &lookup();

    TDBEdit &m_edit;
    TLedgerItems &m_items;
    QTreeView *m_popup;          // a popup window, child of the edit
    QStandardItemModel *m_model; // the popup's rows
    TPartnerLookup m_lookup;
    bool m_typing = false; // the edit holds text not yet settled
};
