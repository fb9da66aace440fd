#pragma once
// A console for module tests: offers a security service whose current user
// and connection the test sets, and counts what the module asked of it.

#include "KInterfaces.h"

#include <QList>

// A test's stand-in for one service: answers QueryInterface for I.
template <class I>
class TestService : public TInterfacedObject, public I
{
public:
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == I::IID())
            return answer<I>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
};

class TestSecurity : public TestService<ISecurity>
{
public:
    TZConnection *Connection = nullptr;
    bool HasUser = true;
    TUserDesc User;
    QList<TUserDesc> UsersToSelect; // answers of SelectUser, in order; empty = cancel
    int ConnectCalls = 0;
    int GetConnectionCalls = 0;

    TZConnection *GetConnection() override
    {
        ++GetConnectionCalls;
        return Connection;
    }
    bool Connect() override;
    bool GetCurrentUser(TUserDesc &desc, int) override
    {
        if (!HasUser)
            return false;
        desc = User;
        return true;
    }
    bool SelectUser(TUserDesc &desc) override
    {
        if (UsersToSelect.isEmpty())
            return false;
        desc = UsersToSelect.takeFirst();
        return true;
    }
};

class TestConsole : public TInterfacedObject, public IConsole
{
public:
    IRef<TestSecurity> Security; // empty: no security module loaded
    QList<IRef<IInterface>> Services;
    QAbstractItemView *ActiveGrid = nullptr;
    int SetActiveGridCalls = 0;

    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == IConsole::IID())
            return answer<IConsole>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
    bool QuerySnapin(const QUuid &iid, void **out) override
    {
        *out = nullptr;
        if (Security && Security->QueryInterface(iid, out))
            return true;
        for (const auto &s : Services)
            if (s->QueryInterface(iid, out))
                return true;
        return false;
    }
    bool SetActiveGrid(QAbstractItemView *grid) override
    {
        ++SetActiveGridCalls;
        ActiveGrid = grid;
        return true;
    }
};
