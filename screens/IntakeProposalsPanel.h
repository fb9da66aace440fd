#pragma once
// The proposals beside a new incoming item's fields: each with its value,
// its source and confidence ("PIB u tekstu · 98 %") and "Prihvati"; "Prihvati
// sve" takes the best of every field. The proposals that fill are put in the
// fields when the panel opens and the fields marked as proposed (property
// "intakeProposed", a light background, the source in the tooltip); the rest
// are only shown. "Novi partner…" opens the partner form filled from the
// document when no partner of the list was found.

#include "data/IntakeProposals.h"

#include <QFrame>
#include <QList>
#include <optional>

class QPushButton;
class QVBoxLayout;
class TLedgerDetailForm;

class TIntakeProposalsPanel : public QFrame
{
    Q_OBJECT
public:
    // Placed right of the form's pages; the form owns it.
    TIntakeProposalsPanel(TLedgerDetailForm &form, const TIntakeProposals &proposals);

    QPushButton *AcceptAllButton = nullptr;  // "Prihvati sve"
    QPushButton *NewPartnerButton = nullptr; // "Novi partner…"; null when a partner was found
    // "Prihvati" of each proposal, in the order of Proposals().
    QList<QPushButton *> AcceptButtons;

    const QList<TProposal> &Proposals() const { return m_proposals; }

    void Accept(const TProposal &proposal);
    void AcceptAll();
    void NewPartner();

    // "PIB u tekstu · 98 %"
    static QString SourceText(const TProposal &proposal);
    static QString FieldCaption(TProposalField field);

private:
    void addRow(const TProposal &proposal);
    void markProposed(const TProposal &proposal);
    QWidget *fieldWidget(TProposalField field) const;

    TLedgerDetailForm &m_form;
    QVBoxLayout *m_rows = nullptr; // inside the scrolled part
    QList<TProposal> m_proposals;
    std::optional<TNewPartnerHint> m_newPartner;
};
