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

namespace {

// Runs while something is being destroyed: nothing may escape.
void tellGone(const std::vector<TDataLink *> &links)
{
    for (TDataLink *link : links) {
        try {
            link->DataSetChanged();
        } catch (const std::exception &e) {
            qWarning("A bound control failed to let go of its data: %s", e.what());
        }
    }
}

} // namespace

TDataSource::~TDataSource()
{
    if (m_dataSet)
        m_dataSet->DetachDataSource(this);
    const std::vector<TDataLink *> links = m_links;
    for (TDataLink *link : links)
        link->m_source = nullptr;
    m_links.clear();
    tellGone(links);
}

void TDataSource::DataSetDestroyed()
{
    m_dataSet = nullptr;
    tellGone(std::vector<TDataLink *>(m_links));
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
