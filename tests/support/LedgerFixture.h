#pragma once
// The ledger module over a real database with the sample book and the
// console's own services behind GlobalConsole, plus helpers that make ledger
// items and read single values back. Use one per test class: Start() (or
// StartModule() under a console of the test's own) in initTestCase, Stop()
// in cleanupTestCase.

#include "Console.h"
#include "KInterfaces.h"
#include "ScriptedDialogs.h"
#include "Services.h"
#include "TestConsole.h"
#include "TestDb.h"
#include "data/ILedger.h"
#include "data/LedgerItems.h"
#include "screens/LedgerDetailUnit.h"

#include <memory>

#include <QVariantMap>

class LedgerFixture
{
public:
    TestDb Db;
    IRef<TConsole> Console;
    IRef<TSecurityService> Security;

    void Start(const QString &login = {}); // and logs that sample user in
    // The module on an empty database; the test sets GlobalConsole itself.
    void StartModule();
    void Stop();

    // Logs in one of the sample users; an empty login logs out.
    void LoginAs(const QString &login);
    qint64 UserId(const QString &login);

    // An incoming item of Ana's from the middle of this year with a number of
    // its own, with the columns given replaced; returns its id.
    qint64 AddItem(const QVariantMap &values = {});
    // A row of any table (users, partners) with the columns given.
    qint64 Insert(const QString &table, const QVariantMap &values);
    int Serial() const { return m_serial; }

    QVariant Scalar(const QString &sql, const QVariantList &params = {});
    QString Cell(qint64 id, const QString &column); // empty for NULL
    QVariantList Row(qint64 id);                    // every column of an item
    int Count(const QString &table) { return Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }
    int ItemCount() { return Count(QStringLiteral("ledgeritem")); }

    // An item set opened on one item, as a window gets it before a form opens.
    static std::unique_ptr<TLedgerItems> OpenItem(qint64 id);
    // Shows a frame at a size; false if it never reached the screen.
    static bool Show(QWidget &frame, const QSize &size);

private:
    QString m_login;
    int m_serial = 0;
};

// Another module's view of the ledger: records which items it was asked to open.
class RecordingLedger : public TestService<ILedger>
{
public:
    QList<qint32> Opened;
    bool GetLedger(TLedgerDesc &) override { return false; }
    void OpenLedger(qint32 id) override { Opened << id; }
};

// The detail form shown on one item, with every dialog scripted.
struct DetailFormOn
{
    explicit DetailFormOn(qint64 id) : form(nullptr, LedgerFixture::OpenItem(id)) { form.show(); }
    ScopedScriptedDialogs dialogs;
    TLedgerDetailForm form;
    // The form's own row.
    TLedgerItems &items() const { return form.Items(); }
};
