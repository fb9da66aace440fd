#include "LedgerHistoryPage.h"

#include "InterfaceScript.h"
#include "KException.h"
#include "ServerWait.h"
#include "data/LedgerHistory.h"
#include "data/LedgerHistoryText.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

TLedgerHistoryPage::TLedgerHistoryPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HistoryTS"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    EmptyLabel = new QLabel(this);
    EmptyLabel->setObjectName(QStringLiteral("HistoryEmptyLabel"));
    EmptyLabel->setWordWrap(true);
    EmptyLabel->hide(); // until Load knows what to say
    HistoryList = new QListWidget(this);
    HistoryList->setObjectName(QStringLiteral("HistoryList"));
    HistoryList->setWordWrap(true);
    HistoryList->setSelectionMode(QAbstractItemView::SingleSelection);
    HistoryList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CustodyButton = new QPushButton(UiText(u"Tok predaje..."), this);
    CustodyButton->setObjectName(QStringLiteral("CustodyButton"));
    CustodyButton->setAutoDefault(false);
    connect(CustodyButton, &QPushButton::clicked, this, &TLedgerHistoryPage::custodyRequested);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CustodyButton);
    layout->addWidget(EmptyLabel);
    layout->addWidget(HistoryList, 1);
    layout->addLayout(buttons);
}

void TLedgerHistoryPage::Load(TZConnection &connection, qint64 itemID)
{
    HistoryList->clear();
    CustodyButton->setEnabled(itemID > 0);
    if (itemID <= 0) {
        EmptyLabel->setText(UiText(u"Stavka još nije sačuvana, pa nema istoriju."));
        EmptyLabel->show();
        return;
    }
    QList<THistoryEntry> history;
    try {
        history = LedgerItemHistory(connection, itemID);
    } catch (const EAbort &) {
        // The user stopped a long read: the page says so instead of "no changes".
        EmptyLabel->setText(LoadCancelledText);
        EmptyLabel->show();
        throw;
    }
    EmptyLabel->setVisible(history.isEmpty());
    EmptyLabel->setText(UiText(u"Za ovu stavku nema zabeleženih promena."));
    for (const THistoryEntry &entry : history) {
        const QString desk = UiText(u"Računar: ") + entry.HostName;
        for (const QString &line : HistoryLines(entry)) {
            auto *item = new QListWidgetItem(line, HistoryList);
            item->setToolTip(desk);
        }
    }
}
