#pragma once
// What the ledger's data module and screens need from the host, handed to
// them by the module's entry (integration/) instead of looked up there: the
// logged-in user, the status bar, and the services of other modules
// (pickers, the book's lists, the ledger itself). Without a context there is no user and no
// service, and status texts go nowhere.

#include "KInterfaces.h"

#include <QString>
#include <QUuid>

class ILedgerContext
{
public:
    virtual ~ILedgerContext() = default;

    // A service of a loaded module, looked up on each use; false without one.
    virtual bool FindService(const QUuid &iid, void **out) const = 0;
    // A short text in the host's status bar.
    virtual void ShowStatus(const QString &text, int milliseconds) = 0;

    template <class I>
    IRef<I> Service() const
    {
        void *out = nullptr;
        if (FindService(I::IID(), &out) && out)
            return IRef<I>::adopt(static_cast<I *>(out));
        return {};
    }
    // The logged-in user; false without a security service or a login.
    bool CurrentUser(TUserDesc &user) const
    {
        const IRef<ISecurity> security = Service<ISecurity>();
        return security && security->GetCurrentUser(user, 0);
    }
    // The book's list of document types (IItemTypes); empty without it.
    QStringList ItemTypes() const
    {
        const IRef<IItemTypes> types = Service<IItemTypes>();
        return types ? types->ItemTypes() : QStringList();
    }
    // Offers name for that list (the service asks and checks the user);
    // true when it is on the list then, false without the service.
    bool AddItemType(const QString &name) const
    {
        const IRef<IItemTypes> types = Service<IItemTypes>();
        return types && types->AddItemType(name);
    }
};
