#pragma once
// A data source connects bound controls to a data set. Controls own a
// TDataLink and are told of changes through plain virtual calls (so that an
// exception from a control's UpdateData reaches the post that asked for it).
// When a data source or its data set is destroyed, the links are told with
// DataSetChanged and see no data set from then on.

#include "DataSet.h"
#include "KExport.h"

#include <QObject>
#include <vector>

class TDataSource;

class KCOMMON_EXPORT TDataLink
{
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink &) = delete;
    TDataLink &operator=(const TDataLink &) = delete;

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_source; }
    TDataSet *DataSet() const;

    // Whole row set changed (open, close, sort, controls re-enabled).
    virtual void DataSetChanged() {}
    // A value of the current row changed; field null means the whole row.
    virtual void RecordChanged(TField *field) {}
    virtual void DataSetScrolled() {}
    virtual void EditingChanged() {}
    virtual void RowInserted(int row) {}
    virtual void RowRemoved(int row) {}
    // Write pending edits into the fields; may throw.
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    TDataSource *m_source = nullptr;
};

class KCOMMON_EXPORT TDataSource : public QObject
{
    Q_OBJECT
public:
    explicit TDataSource(QObject *parent = nullptr);
    ~TDataSource() override;

    void SetDataSet(TDataSet *dataSet);
    TDataSet *DataSet() const { return m_dataSet; }

    // Used by TDataSet and TDataLink.
    void AddLink(TDataLink *link);
    void RemoveLink(TDataLink *link);
    const std::vector<TDataLink *> &Links() const { return m_links; }
    // Called by a data set as it dies: forgets it and tells the links.
    void DataSetDestroyed();

private:
    TDataSet *m_dataSet = nullptr;
    std::vector<TDataLink *> m_links;
};
