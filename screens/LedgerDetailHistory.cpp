// The detail form's page "Istorija" and its custody timeline.

#include "LedgerDetailUnit.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "screens/CustodyTimelineDialog.h"
#include "screens/LedgerHistoryPage.h"

#include <QTabWidget>

void TLedgerDetailForm::addHistoryPage()
{
    HistoryTS = new TLedgerHistoryPage(PageControl);
    PageControl->addTab(HistoryTS, UiText(u"Istorija"));
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int) {
        if (PageControl->currentWidget() == HistoryTS)
            Guarded([this] { ShowHistory(); });
    });
    connect(HistoryTS, &TLedgerHistoryPage::custodyRequested, this, [this] { Guarded([this] { CustodyExecute(); }); });
}

void TLedgerDetailForm::ShowHistory()
{
    // The stored item: a new one has no id until it is saved.
    HistoryTS->Load(*LedgerDM->ZConnection(), FItems->LedgerItemZQledgeritemid->AsLargeInt());
}

void TLedgerDetailForm::CustodyExecute()
{
    const qint64 id = FItems->LedgerItemZQledgeritemid->AsLargeInt();
    if (id <= 0)
        return;
    TCustodyTimelineDialog dialog(*LedgerDM->ZConnection(), id, this);
    Dialogs().ShowModal(dialog);
}
