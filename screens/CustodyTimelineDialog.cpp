#include "CustodyTimelineDialog.h"

#include "Guard.h"
#include "InterfaceScript.h"
#include "PagedReport.h"
#include "data/ReportFile.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

TCustodyTimelineDialog::TCustodyTimelineDialog(TZConnection &connection, qint64 itemID, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_chain(LedgerCustody(connection, itemID))
{
    setObjectName(QStringLiteral("CustodyTimelineDialog"));
    setWindowTitle(UiText(u"Tok predaje"));
    auto *layout = new QVBoxLayout(this);

    StepsTree = new QTreeWidget(this);
    StepsTree->setObjectName(QStringLiteral("StepsTree"));
    StepsTree->setHeaderLabels(CustodyCaptions());
    StepsTree->setRootIsDecorated(true);
    StepsTree->setUniformRowHeights(true);
    for (const TCustodyStep &step : m_chain.Steps) {
        auto *item = new QTreeWidgetItem(StepsTree, CustodyStepCells(step));
        for (const TCustodyEnclosure &e : step.Enclosures)
            new QTreeWidgetItem(item, CustodyEnclosureCells(e));
    }
    StepsTree->expandAll();
    for (int c = 0; c < StepsTree->columnCount(); ++c)
        StepsTree->resizeColumnToContents(c);

    HolderLabel = new QLabel(m_chain.Steps.isEmpty() ? UiText(u"Stavka više ne postoji u delovodniku.")
                                                     : m_chain.Holder,
                             this);
    HolderLabel->setObjectName(QStringLiteral("HolderLabel"));
    HolderLabel->setWordWrap(true);

    PrintButton = new QPushButton(UiText(u"Štampaj..."), this);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PrintButton->setEnabled(!m_chain.Steps.isEmpty());
    CloseButton = new QPushButton(UiText(u"Zatvori"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    ConnectGuarded(PrintButton, [this] { PrintExecute(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(HolderLabel, 1);
    buttons->addWidget(PrintButton);
    buttons->addWidget(CloseButton);
    layout->addWidget(StepsTree, 1);
    layout->addLayout(buttons);
    // Wide enough for every column of a long chain; still within 1024 pixels.
    resize(880, 420);
}

void TCustodyTimelineDialog::PrintExecute()
{
    PreviewPagedReport(CustodyReport(m_chain, PrintedOrganization(m_connection)));
}
