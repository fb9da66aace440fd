// A stand-in module for the console's loader tests: it exports the module
// entry points and records, in order, what was done to it. Built twice: with
// version data, and without (FAKE_MODULE_WITHOUT_VERSION).

#include "KPackage.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

namespace {

QStringList g_events;

class FakeSnapin : public TInterfacedObject, public ISnapin
{
public:
    explicit FakeSnapin(const IRef<IConsole> &console) : m_console(console) {}
    ~FakeSnapin() override { g_events << QStringLiteral("snapin released"); }

    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == ISnapin::IID())
            return answer<ISnapin>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
    TDataSet *GetDataSet() override { return nullptr; }
    QString GetDescription() override { return QStringLiteral("Probni modul"); }
    QImage GetImage() override { return {}; }
    QString GetName() override { return QStringLiteral("Proba"); }
    qint32 GetSnapinType() override { return 0; }

private:
    IRef<IConsole> m_console; // as a real module keeps it, closing a cycle
};

class FakeFactory : public TInterfacedObject, public ISnapinFactory
{
public:
    ~FakeFactory() override { g_events << QStringLiteral("factory released"); }
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == ISnapinFactory::IID())
            return answer<ISnapinFactory>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
    IRef<ISnapin> GetSnapin(const IRef<IConsole> &console) override
    {
        IRef<IConsole> c = console;
        const bool hasSecurity = c && c->service<ISecurity>();
        g_events << (hasSecurity ? QStringLiteral("snapin made, console has security")
                                 : QStringLiteral("snapin made"));
        return IRef<ISnapin>(new FakeSnapin(console));
    }
};

void unitInit() {}
void unitFinal() {}
const TPackageUnitInfo g_units[] = {{"FakeUnit", unitInit, unitFinal}};
const TPackageInfoTable g_table = {1, g_units};

} // namespace

extern "C" {
Q_DECL_EXPORT void Initialize() { g_events << QStringLiteral("initialize"); }
Q_DECL_EXPORT void Finalize() { g_events << QStringLiteral("finalize"); }
Q_DECL_EXPORT const TPackageInfoTable *GetPackageInfoTable() { return &g_table; }
Q_DECL_EXPORT ISnapinFactory *GetSnapinFactory()
{
    auto *factory = new FakeFactory;
    factory->AddRef();
    return factory;
}
#ifndef FAKE_MODULE_WITHOUT_VERSION
Q_DECL_EXPORT extern const TModuleVersionInfo ModuleVersionInfo;
const TModuleVersionInfo ModuleVersionInfo = {"Probni modul", "2.0.0.7", "2.0"};
#endif
// For the test: the events so far, joined by '|'.
Q_DECL_EXPORT const char *FakeModuleEvents()
{
    static QByteArray text;
    text = g_events.join(u'|').toUtf8();
    return text.constData();
}
}
