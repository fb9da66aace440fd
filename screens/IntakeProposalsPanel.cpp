#include "IntakeProposalsPanel.h"

#include "DBControls.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZQuery.h"
#include "data/IntakeRegistration.h"
#include "data/LedgerDMUnit.h"
#include "screens/LedgerDetailUnit.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <algorithm>

namespace {

constexpr int PanelWidth = 260;

TProposalField Fields[] = {TProposalField::Partner, TProposalField::ItemNumber, TProposalField::ItemDate,
                           TProposalField::Subject, TProposalField::ItemType};

} // namespace

TIntakeProposalsPanel::TIntakeProposalsPanel(TLedgerDetailForm &form, const TIntakeProposals &proposals)
    : QFrame(&form), m_form(form), m_newPartner(proposals.NewPartner)
{
    setObjectName(QStringLiteral("IntakeProposalsPanel"));
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(PanelWidth);
    // By field, best first within each.
    m_proposals = proposals.Proposals;
    std::stable_sort(m_proposals.begin(), m_proposals.end(), [](const TProposal &a, const TProposal &b) {
        return a.Field != b.Field ? int(a.Field) < int(b.Field) : a.Confidence > b.Confidence;
    });

    // The rows scroll: a long list, large fonts or a low screen never push
    // the buttons out of reach.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scroll);
    m_rows = new QVBoxLayout(content);
    QVBoxLayout *layout = m_rows;
    layout->setContentsMargins(8, 8, 8, 8);
    auto *title = new QLabel(UiText(u"<b>Predlozi iz dokumenta</b>"), this);
    layout->addWidget(title);
    AcceptAllButton = new QPushButton(UiText(u"Prihvati sve"), this);
    AcceptAllButton->setObjectName(QStringLiteral("AcceptAllButton"));
    AcceptAllButton->setAutoDefault(false);
    AcceptAllButton->setEnabled(!m_proposals.isEmpty());
    ConnectGuarded(AcceptAllButton, [this] { AcceptAll(); });
    layout->addWidget(AcceptAllButton);
    if (m_proposals.isEmpty())
        layout->addWidget(new QLabel(UiText(u"U dokumentu nije pronađen nijedan predlog."), this));
    for (const TProposal &p : std::as_const(m_proposals))
        addRow(p);
    const TProposal *partner = proposals.Best(TProposalField::Partner);
    if (!partner || partner->PartnerID <= 0) {
        NewPartnerButton = new QPushButton(UiText(u"Novi partner…"), this);
        NewPartnerButton->setObjectName(QStringLiteral("NewPartnerButton"));
        NewPartnerButton->setAutoDefault(false);
        ConnectGuarded(NewPartnerButton, [this] { NewPartner(); });
        layout->addWidget(NewPartnerButton);
    }
    layout->addStretch(1);
    scroll->setWidget(content);
    outer->addWidget(scroll);

    // Right of the pages, the form wider by the panel.
    if (auto *formLayout = qobject_cast<QBoxLayout *>(form.layout())) {
        const int at = formLayout->indexOf(form.PageControl);
        formLayout->removeWidget(form.PageControl);
        auto *row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(form.PageControl, 1);
        row->addWidget(this);
        formLayout->insertLayout(std::max(at, 0), row, 1);
    }
    // Wider by the panel, but never beyond the screen: the pages scroll.
    int width = form.width() + PanelWidth + 4;
    if (const QScreen *shown = form.screen())
        width = std::min(width, shown->availableGeometry().width() - 20);
    form.resize(width, form.height());

    for (TProposalField field : Fields)
        if (const TProposal *best = proposals.Best(field); best && best->Fills())
            Accept(*best);
}

QString TIntakeProposalsPanel::SourceText(const TProposal &proposal)
{
    // The figure and its sign never part at a line's end.
    return QStringLiteral("%1 · %2\u00A0%").arg(proposal.Source, QString::number(qRound(proposal.Confidence * 100)));
}

QString TIntakeProposalsPanel::FieldCaption(TProposalField field)
{
    switch (field) {
    case TProposalField::Partner:
        return UiText(u"Partner");
    case TProposalField::ItemNumber:
        return UiText(u"Broj dokumenta");
    case TProposalField::ItemDate:
        return UiText(u"Datum dokumenta");
    case TProposalField::Subject:
        return UiText(u"Predmet");
    case TProposalField::ItemType:
        return UiText(u"Vrsta dokumenta");
    }
    return {};
}

void TIntakeProposalsPanel::addRow(const TProposal &proposal)
{
    auto *box = new QFrame(this);
    auto *rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 6, 0, 0);
    rows->setSpacing(1);
    auto *value = new QLabel(QStringLiteral("%1: <b>%2</b>")
                                 .arg(FieldCaption(proposal.Field), proposal.Value.toHtmlEscaped()),
                             box);
    value->setWordWrap(true);
    rows->addWidget(value);
    auto *line = new QHBoxLayout;
    auto *source = new QLabel(SourceText(proposal), box);
    source->setObjectName(QStringLiteral("SourceLabel"));
    source->setWordWrap(true);
    line->addWidget(source, 1);
    auto *accept = new QPushButton(UiText(u"Prihvati"), box);
    accept->setAutoDefault(false);
    // A partner not in the list is made through "Novi partner…".
    accept->setEnabled(proposal.Field != TProposalField::Partner || proposal.PartnerID > 0);
    ConnectGuarded(accept, [this, proposal] { Accept(proposal); });
    line->addWidget(accept);
    rows->addLayout(line);
    AcceptButtons << accept;
    m_rows->addWidget(box);
}

QWidget *TIntakeProposalsPanel::fieldWidget(TProposalField field) const
{
    switch (field) {
    case TProposalField::Partner:
        return m_form.DBEdit3;
    case TProposalField::ItemNumber:
        return m_form.ItemNumberDBE;
    case TProposalField::ItemDate:
        return m_form.ItemDateDBE;
    case TProposalField::Subject:
        return m_form.SubjectDBE;
    case TProposalField::ItemType:
        return m_form.ItemTypeDBCB;
    }
    return nullptr;
}

void TIntakeProposalsPanel::markProposed(const TProposal &proposal)
{
    QWidget *field = fieldWidget(proposal.Field);
    if (!field)
        return;
    field->setProperty("intakeProposed", true);
    field->setToolTip(UiText(u"Predlog: ") + SourceText(proposal));
    field->setStyleSheet(QStringLiteral("background-color: #fff4c2;"));
}

void TIntakeProposalsPanel::Accept(const TProposal &proposal)
{
    if (proposal.Field == TProposalField::Partner && proposal.PartnerID <= 0)
        return;
    TZQuery &query = *m_form.Items().LedgerItemZQ;
    if (query.State() == TDataSetState::Browse)
        query.Edit();
    ApplyIntakeProposal(m_form.Items(), proposal);
    markProposed(proposal);
    m_form.UpdateActions();
}

void TIntakeProposalsPanel::AcceptAll()
{
    for (TProposalField field : Fields) {
        const auto best = std::find_if(m_proposals.cbegin(), m_proposals.cend(), [field](const TProposal &p) {
            return p.Field == field && (field != TProposalField::Partner || p.PartnerID > 0);
        });
        if (best != m_proposals.cend())
            Accept(*best);
    }
}

void TIntakeProposalsPanel::NewPartner()
{
    const IRef<IPartner> partners = LedgerService<IPartner>();
    if (!partners)
        throw KException(UiText(u"Partneri nisu dostupni: konzola ne nudi spisak partnera."));
    TPartnerDesc desc;
    QString name;
    if (m_newPartner) {
        name = m_newPartner->Name;
        desc.Address = m_newPartner->Address;
        desc.Pib = m_newPartner->Pib;
        desc.Email = m_newPartner->Email;
    }
    if (!partners->NewPartner(desc, name) || desc.PartnerID <= 0)
        return;
    TProposal made{TProposalField::Partner, desc.Name, desc.PartnerID, {}, UiText(u"novi partner"), 1.0};
    Accept(made);
}
