#include "ContinuityDialog.h"

#include "Guard.h"
#include "InterfaceScript.h"
#include "PagedReport.h"
#include "Help.h"
#include "data/LedgerDMUnit.h"
#include "screens/LedgerHelpContexts.h"
#include "data/ReportFile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

TContinuityDialog::TContinuityDialog(TZConnection &connection, int year, QWidget *parent)
    : QDialog(parent), YearEdit(new QSpinBox(this)), CheckButton(new QPushButton(UiText(u"&Proveri"), this)),
      FindingsTree(new QTreeWidget(this)), PrintButton(new QPushButton(UiText(u"Š&tampaj"), this)),
      CloseButton(new QPushButton(UiText(u"&Zatvori"), this)), m_connection(connection)
{
    SetHelpContext(this, LedgerReportsHelp);
    setObjectName(QStringLiteral("ContinuityDialog"));
    YearEdit->setObjectName(QStringLiteral("YearEdit"));
    YearEdit->setRange(1900, 9999);
    YearEdit->setGroupSeparatorShown(false);
    YearEdit->setValue(year);
    FindingsTree->setObjectName(QStringLiteral("FindingsTree"));
    FindingsTree->setHeaderLabels({UiText(u"Nalaz"), UiText(u"Delovodni broj"), UiText(u"Opis")});
    FindingsTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FindingsTree->setWordWrap(true);
    FindingsTree->header()->setStretchLastSection(true);
    FindingsTree->setColumnWidth(0, 150);
    FindingsTree->setColumnWidth(1, 150);
    CloseButton->setDefault(true);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(UiText(u"Godina:"), this));
    top->addWidget(YearEdit);
    top->addWidget(CheckButton);
    top->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(PrintButton);
    bottom->addWidget(CloseButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FindingsTree, 1);
    layout->addLayout(bottom);
    resize(820, 480);

    ConnectGuarded(CheckButton, [this] { CheckButtonClick(); });
    ConnectGuarded(PrintButton, [this] { PrintButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    m_year = year;
    m_findings = CheckContinuity(m_year, ReadContinuityRows(m_connection, m_year));
    fill();
}

void TContinuityDialog::CheckButtonClick()
{
    const int year = YearEdit->value();
    m_findings = CheckContinuity(year, ReadContinuityRows(m_connection, year));
    m_year = year;
    fill();
}

void TContinuityDialog::PrintButtonClick()
{
    PreviewPagedReport(ContinuityReport(m_connection, m_year, m_findings));
}

void TContinuityDialog::fill()
{
    setWindowTitle(UiText(u"Kontinuitet brojeva za %1. godinu").arg(m_year));
    FindingsTree->clear();
    for (qint32 direction : {1, -1, 0}) {
        auto *branch = new QTreeWidgetItem(FindingsTree, {GetDirectionCaption(direction)});
        QFont bold = branch->font(0);
        bold.setBold(true);
        branch->setFont(0, bold);
        for (const TContinuityFinding &f : m_findings)
            if (f.Direction == direction) {
                auto *item = new QTreeWidgetItem(branch, {ContinuityKindCaption(f.Kind), f.Numbers, f.Text});
                item->setToolTip(2, f.Text);
            }
        if (branch->childCount() == 0)
            new QTreeWidgetItem(branch, {UiText(u"U redu"), QString(), ContinuityNothingFoundText()});
        branch->setExpanded(true);
    }
}
