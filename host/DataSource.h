#pragma once
// A data source connects bound controls to a data set. Controls own a
// TDataLink and are told of changes through plain virtual calls (so that an
// exception from a control's UpdateData reaches the post that asked for it).

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
    void DataSetDestroyed() { m_dataSet = nullptr; }

private:
    TDataSet *m_dataSet = nullptr;
    std::vector<TDataLink *> m_links;
};
