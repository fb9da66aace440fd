#pragma once
// Reference-counted interfaces the console and its modules talk through.
// Every interface derives virtually from IInterface so that one object can
// implement several of them with a single reference count.

#include "KExport.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <atomic>
#include <utility>

class QAbstractItemView;
class QAction;
class QImage;
class QWidget;
class TZConnection;
class TDataSet;

#define K_IID(text) static QUuid IID() { static const QUuid id(QStringLiteral(text)); return id; }

class KCOMMON_EXPORT IInterface
{
public:
    K_IID("{00000000-0000-0000-C000-000000000046}")
    // Fills *out with an added reference when the object implements iid.
    virtual bool QueryInterface(const QUuid &iid, void **out) = 0;
    virtual int AddRef() = 0;
    virtual int Release() = 0;

protected:
    virtual ~IInterface() = default;
};

// Smart reference: adds on copy, releases on destruction.
template <class T>
class IRef
{
public:
    IRef() = default;
    IRef(std::nullptr_t) {}
    explicit IRef(T *p, bool addRef = true) : m_p(p) { if (m_p && addRef) m_p->AddRef(); }
    IRef(const IRef &o) : m_p(o.m_p) { if (m_p) m_p->AddRef(); }
    IRef(IRef &&o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    template <class U>
    IRef(const IRef<U> &o) : m_p(o.get()) { if (m_p) m_p->AddRef(); }
    ~IRef() { reset(); }
    IRef &operator=(IRef o) noexcept { std::swap(m_p, o.m_p); return *this; }

    void reset() { if (T *p = std::exchange(m_p, nullptr)) p->Release(); }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator==(const IRef &o) const { return m_p == o.m_p; }

    // Takes ownership of a reference already counted (as QueryInterface gives).
    static IRef adopt(T *p) { return IRef(p, false); }

    // Asks the object for another interface; empty when it does not have it.
    template <class U>
    IRef<U> query() const
    {
        void *out = nullptr;
        if (m_p && m_p->QueryInterface(U::IID(), &out) && out)
            return IRef<U>::adopt(static_cast<U *>(out));
        return {};
    }

private:
    T *m_p = nullptr;
};

// Implements the counting and IInterface's own answer; derived classes extend
// QueryInterface with the interfaces they add and call the inherited one last.
class KCOMMON_EXPORT TInterfacedObject : public virtual IInterface
{
public:
    TInterfacedObject() = default;
    TInterfacedObject(const TInterfacedObject &) = delete;
    TInterfacedObject &operator=(const TInterfacedObject &) = delete;

    bool QueryInterface(const QUuid &iid, void **out) override;
    int AddRef() override;
    int Release() override;
    int RefCount() const { return m_refs.load(); }

protected:
    ~TInterfacedObject() override = default;
    // Helper for overrides: hands out `self` as the requested interface.
    template <class I, class Self>
    static bool answer(Self *self, void **out)
    {
        I *p = static_cast<I *>(self);
        p->AddRef();
        *out = p;
        return true;
    }

private:
    std::atomic<int> m_refs{0};
};

// ---- Records passed across module boundaries -------------------------------

struct TUserDesc
{
    qint32 UserID = 0;
    QString Login;
    QString FirstName;
    QString LastName;
    bool Administrator = false; // may manage users and the registers' lists
};

struct TPartnerDesc
{
    QString Name;
    QString Address;
    qint32 PartnerID = 0;
    QString Pib;   // digits only; may be empty
    QString Email; // may be empty
};

struct TDocumentDesc
{
    qint32 DocumentID = 0;
    QString Description;
    QString Number;
};

// ---- Console and services ---------------------------------------------------

class ISnapin;

class KCOMMON_EXPORT IConsole : public virtual IInterface
{
public:
    K_IID("{6F1B5C3E-2D1A-4E0B-9C7A-1B2C3D4E5F60}")
    // True with the service when a loaded snap-in implements iid.
    virtual bool QuerySnapin(const QUuid &iid, void **out) = 0;
    virtual bool SetActiveGrid(QAbstractItemView *grid) = 0;

    // Typed convenience over QuerySnapin.
    template <class I>
    IRef<I> service()
    {
        void *out = nullptr;
        if (QuerySnapin(I::IID(), &out) && out)
            return IRef<I>::adopt(static_cast<I *>(out));
        return {};
    }
};

// The console's status bar, offered as a service.
class KCOMMON_EXPORT IStatusBar : public virtual IInterface
{
public:
    K_IID("{5D0C8E21-7A43-4B9F-A6E2-3C1F0B9D8E47}")
    // A short message that goes away after timeoutMs.
    virtual void ShowStatusMessage(const QString &text, int timeoutMs) = 0;
};

class KCOMMON_EXPORT ISecurity : public virtual IInterface
{
public:
    K_IID("{3495C3AC-F17F-440C-8571-96AAA091CAF2}")
    virtual TZConnection *GetConnection() = 0;
    virtual bool Connect() = 0;
    virtual bool GetCurrentUser(TUserDesc &desc, int flags) = 0;
    virtual bool SelectUser(TUserDesc &desc) = 0;
};

class KCOMMON_EXPORT IPartner : public virtual IInterface
{
public:
    K_IID("{4C48317F-19A9-439E-BC43-E5F13DB4962C}")
    virtual bool SelectPartner(TPartnerDesc &desc) = 0;
    // The partner form for a new partner, its name already name and its
    // address, PIB and e-mail those desc holds; fills desc and answers true
    // when the partner was stored. Where the console keeps no such form, false.
    virtual bool NewPartner(TPartnerDesc &desc, const QString &name) { Q_UNUSED(desc) Q_UNUSED(name) return false; }
};

class KCOMMON_EXPORT IDocument : public virtual IInterface
{
public:
    K_IID("{F0D1EC42-35DC-4A4C-A783-CBC6F7FFD556}")
    virtual bool SelectDocument(TDocumentDesc &desc) = 0;
    // The document form for a new document, its number already number;
    // fills desc and answers true when it was stored.
    virtual bool NewDocument(TDocumentDesc &desc, const QString &number) { Q_UNUSED(desc) Q_UNUSED(number) return false; }
};

// The managed list of document types ("Vrsta dokumenta"). An item keeps its
// own text; the list only offers.
class KCOMMON_EXPORT IItemTypes : public virtual IInterface
{
public:
    K_IID("{B7E3C1A4-2F5D-4C8B-9E61-0D4A7F2B3C95}")
    // The active types in the book's order.
    virtual QStringList ItemTypes() = 0;
    // Adds a type after asking the user; true when it is on the list then.
    // A clerk is refused with a message (administrators keep the list).
    virtual bool AddItemType(const QString &name) = 0;
};

// ---- Snap-in plumbing -------------------------------------------------------

class KCOMMON_EXPORT ISnapin : public virtual IInterface
{
public:
    K_IID("{9A3E1F20-5B6C-4D7E-8F90-A1B2C3D4E5F6}")
    virtual TDataSet *GetDataSet() = 0;
    virtual QString GetDescription() = 0;
    virtual QImage GetImage() = 0;
    virtual QString GetName() = 0;
    virtual qint32 GetSnapinType() = 0;
};

class KCOMMON_EXPORT ISnapinFactory : public virtual IInterface
{
public:
    K_IID("{1C2D3E4F-5A6B-4C7D-8E9F-0A1B2C3D4E5F}")
    virtual IRef<ISnapin> GetSnapin(const IRef<IConsole> &console) = 0;
};

class KCOMMON_EXPORT IViewer : public virtual IInterface
{
public:
    K_IID("{308DC058-773F-4EB7-A04E-6772C8A35D60}")
    virtual void Load(const IRef<ISnapin> &snapin) = 0;
    virtual void Show(QWidget *parent) = 0;
    virtual void Hide() = 0;
    virtual QList<QAction *> GetActionList() = 0;
    virtual QWidget *GetFrame() = 0;
};

class KCOMMON_EXPORT INavigable : public virtual IInterface
{
public:
    K_IID("{AAFF7BDF-545F-48E3-9486-9655678906C3}")
    virtual void ShowNavigator(QWidget *parent) = 0;
    virtual void HideNavigator() = 0;
    virtual QWidget *GetFrame() = 0;
};
