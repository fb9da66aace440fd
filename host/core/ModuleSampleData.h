#pragma once
// Sample rows for a first start: when the console creates a new database
// file it writes its own (users, partners, documents), then asks every
// loaded snap-in for ISampleData (QueryInterface) to fill its module's tables.

#include "KInterfaces.h"

class KCOMMON_EXPORT ISampleData : public virtual IInterface
{
public:
    K_IID("{EC411FC1-8EB3-40BB-8CB4-7CA9F1551176}")
    // Writes the module's rows in a transaction of its own, referring to the
    // console's rows by their ids. Throws KException.
    virtual void CreateSampleData(TZConnection &connection) = 0;
};
