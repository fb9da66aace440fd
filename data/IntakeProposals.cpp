#include "IntakeProposals.h"

#include "InterfaceScript.h"

#include "data/IntakeProposalPartner.h"
#include "data/IntakeProposalPatterns.h"
#include "data/IntakeProposalText.h"

#include <algorithm>

QString ProposalFieldName(TProposalField field)
{
    switch (field) {
    case TProposalField::Partner:
        return UiText(u"partner");
    case TProposalField::ItemNumber:
        return UiText(u"broj");
    case TProposalField::ItemDate:
        return UiText(u"datum");
    case TProposalField::Subject:
        return UiText(u"predmet");
    case TProposalField::ItemType:
        return UiText(u"vrsta");
    }
    return {};
}

TIntakeProposals ProposeIntake(const TIntakeDocument &document, const QList<TIntakePartner> &partners,
                               const QStringList &itemTypes)
{
    const TIntakeText text = PrepareIntakeText(document);
    TIntakeProposals result;
    result.Proposals << ProposePartners(text, document.Mail, partners);
    // Nothing good enough: the clerk makes the partner from what was found.
    const bool known = !result.Proposals.isEmpty() && result.Proposals.first().Fills();
    if (!known) {
        result.NewPartner = NewPartnerHint(text, document.Mail);
        if (result.NewPartner && !result.NewPartner->Name.isEmpty()) {
            TProposal newPartner;
            newPartner.Field = TProposalField::Partner;
            newPartner.Value = result.NewPartner->Name;
            newPartner.Source = UiText(u"novi partner");
            newPartner.Confidence = 0.5;
            result.Proposals << newPartner;
        }
    }
    result.Proposals << ProposeNumbers(text);
    result.Proposals << ProposeDates(text, document.Mail);
    result.Proposals << ProposeSubjects(text, document.Mail);
    result.Proposals << ProposeItemTypes(text, document.Mail, itemTypes);
    std::stable_sort(result.Proposals.begin(), result.Proposals.end(), [](const TProposal &a, const TProposal &b) {
        return a.Field != b.Field ? a.Field < b.Field : a.Confidence > b.Confidence;
    });
    return result;
}
