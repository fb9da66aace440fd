#include "KInterfaces.h"

bool TInterfacedObject::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IInterface::IID())
        return answer<IInterface>(this, out);
    *out = nullptr;
    return false;
}

int TInterfacedObject::AddRef()
{
    return ++m_refs;
}

int TInterfacedObject::Release()
{
    const int left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}
