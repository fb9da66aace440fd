#pragma once
// The console object handed to every snap-in: it answers service requests
// from its own services first, then from the snap-ins of the loaded modules.

#include "KInterfaces.h"

#include <QPointer>
#include <QAbstractItemView>
#include <vector>

class TConsole : public TInterfacedObject, public IConsole
{
public:
    TConsole() = default;

    bool QueryInterface(const QUuid &iid, void **out) override;
    bool QuerySnapin(const QUuid &iid, void **out) override;
    bool SetActiveGrid(QAbstractItemView *grid) override;

    QAbstractItemView *ActiveGrid() const { return m_activeGrid; }

    // Built-in services are asked before any snap-in, in the order added.
    void AddService(const IRef<IInterface> &service);
    // A service that goes away before the console (a closed window's).
    void RemoveService(const IRef<IInterface> &service);
    void AddSnapin(const IRef<ISnapin> &snapin);
    void RemoveSnapin(const IRef<ISnapin> &snapin);
    // Drops every reference the console holds, so that snap-ins holding the
    // console back do not keep each other alive at shutdown.
    void Clear();

    const std::vector<IRef<ISnapin>> &Snapins() const { return m_snapins; }

private:
    std::vector<IRef<IInterface>> m_services;
    std::vector<IRef<ISnapin>> m_snapins;
    QPointer<QAbstractItemView> m_activeGrid;
};
