#pragma once
// What other modules get from the ledger through the console
// (IConsole::service<ILedger>()): the item picker and an item's form.

#include "KInterfaces.h"

#include <QDateTime>
#include <QString>

struct TLedgerDesc
{
    qint32 LedgerItemID = 0;
    QString LedgerNumber;
    qint32 ParentID = 0;
    QDateTime LedgerDateTime;
};

class ILedger : public virtual IInterface
{
public:
    K_IID("{A46475DF-4BC8-4F92-BAB7-FBF58ABA8828}")
    virtual bool GetLedger(TLedgerDesc &desc) = 0;
    virtual void OpenLedger(qint32 id) = 0;
};
