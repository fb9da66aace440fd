#pragma once
// A data set over rows made in memory: one value per field, in the fields'
// order, already of the field's type (or null).

#include "DataSet.h"

#include <QVariantList>
#include <vector>

class MemDataSet : public TDataSet
{
public:
    std::vector<QVariantList> Rows;

protected:
    void InternalOpen() override
    {
        ResetStore();
        for (const QVariantList &values : Rows) {
            const uint32_t r = Store().AddRow();
            for (int c = 0; c < int(values.size()); ++c)
                Store().Set(r, c, values[c]);
            Order().push_back(r);
        }
    }
    QVariant InternalPost(bool, const std::vector<TField *> &) override { return {}; }
    void InternalDelete() override {}
};
