#include "DataSource.h"

#include <algorithm>

TDataLink::~TDataLink()
{
    SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource *source)
{
    if (m_source == source)
        return;
    if (m_source)
        m_source->RemoveLink(this);
    m_source = source;
    if (m_source)
        m_source->AddLink(this);
}

TDataSet *TDataLink::DataSet() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

TDataSource::TDataSource(QObject *parent) : QObject(parent) {}

TDataSource::~TDataSource()
{
    if (m_dataSet)
        m_dataSet->DetachDataSource(this);
    for (TDataLink *link : std::vector<TDataLink *>(m_links))
        link->m_source = nullptr;
}

void TDataSource::SetDataSet(TDataSet *dataSet)
{
    if (m_dataSet)
        m_dataSet->DetachDataSource(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->AttachDataSource(this);
    for (TDataLink *link : std::vector<TDataLink *>(m_links))
        link->DataSetChanged();
}

void TDataSource::AddLink(TDataLink *link)
{
    if (std::find(m_links.begin(), m_links.end(), link) == m_links.end())
        m_links.push_back(link);
}

void TDataSource::RemoveLink(TDataLink *link)
{
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
}
