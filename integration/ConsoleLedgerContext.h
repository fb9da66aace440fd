#pragma once
// The ledger's context over the console the factory was last asked with.

#include "data/LedgerContext.h"

class TConsoleLedgerContext final : public ILedgerContext
{
public:
    bool FindService(const QUuid &iid, void **out) const override;
    void ShowStatus(const QString &text, int milliseconds) override;
};
