#include "Console.h"

#include <algorithm>

bool TConsole::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IConsole::IID())
        return answer<IConsole>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

bool TConsole::QuerySnapin(const QUuid &iid, void **out)
{
    *out = nullptr;
    // Copies: a service may release the last reference of a snap-in it was asked through.
    const auto services = m_services;
    for (const auto &service : services)
        if (service->QueryInterface(iid, out) && *out)
            return true;
    const auto snapins = m_snapins;
    for (const auto &snapin : snapins)
        if (snapin->QueryInterface(iid, out) && *out)
            return true;
    *out = nullptr;
    return false;
}

bool TConsole::SetActiveGrid(QAbstractItemView *grid)
{
    m_activeGrid = grid;
    return true;
}

void TConsole::AddService(const IRef<IInterface> &service)
{
    if (service)
        m_services.push_back(service);
}

void TConsole::RemoveService(const IRef<IInterface> &service)
{
    m_services.erase(std::remove(m_services.begin(), m_services.end(), service), m_services.end());
}

void TConsole::AddSnapin(const IRef<ISnapin> &snapin)
{
    if (snapin)
        m_snapins.push_back(snapin);
}

void TConsole::RemoveSnapin(const IRef<ISnapin> &snapin)
{
    m_snapins.erase(std::remove(m_snapins.begin(), m_snapins.end(), snapin), m_snapins.end());
}

void TConsole::Clear()
{
    m_snapins.clear();
    m_services.clear();
    m_activeGrid = nullptr;
}
