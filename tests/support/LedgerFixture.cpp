#include "LedgerFixture.h"

#include "DatasetTestUtil.h"
#include "SampleData.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSampleData.h"
#include "integration/LedgerRegistration.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

void LedgerFixture::Start(const QString &login)
{
    SampleData::Fill(Db.Connection());
    FillLedgerSampleData(Db.Connection());
    StartModule();
    Console = IRef<TConsole>(new TConsole);
    Security = IRef<TSecurityService>(new TSecurityService(&Db.Connection()));
    Console->AddService(Security);
    Console->AddService(IRef<IInterface>(new TPartnerService(&Db.Connection())));
    Console->AddService(IRef<IInterface>(new TDocumentService(&Db.Connection())));
    GlobalConsole = Console;
    if (!login.isEmpty())
        LoginAs(login);
}

void LedgerFixture::StartModule()
{
    Initialize();
    LedgerDM->SetZConnection(&Db.Connection());
}

void LedgerFixture::Stop()
{
    if (!Db.Available())
        return;
    Finalize();
    if (Console)
        Console->Clear();
}

void LedgerFixture::LoginAs(const QString &login)
{
    if (login == m_login)
        return;
    m_login = login;
    if (login.isEmpty()) {
        Security->Logout();
        return;
    }
    for (const SampleData::User &u : SampleData::Users())
        if (u.Login == login)
            QVERIFY(Security->Login(u.Login, u.Password));
}

qint64 LedgerFixture::UserId(const QString &login)
{
    return login.isEmpty() ? 0 : Scalar(QStringLiteral("SELECT userid FROM user WHERE login = ?"), {login}).toLongLong();
}

qint64 LedgerFixture::AddItem(const QVariantMap &values)
{
    ++m_serial;
    QVariantMap v{
        {QStringLiteral("direction"), 1},
        {QStringLiteral("ledgerdatetime"), QDateTime(QDate(QDate::currentDate().year(), 6, 15), QTime(10, 30))},
        {QStringLiteral("ledgernumber"), QStringLiteral("T%1/00").arg(m_serial)},
        {QStringLiteral("itemtype"), QStringLiteral("Dopis")},
        {QStringLiteral("itemnumber"), QStringLiteral("BR-%1").arg(m_serial)},
        {QStringLiteral("accepted"), QStringLiteral("n")},
        {QStringLiteral("archived"), QStringLiteral("n")},
    };
    v.insert(values);
    if (!v.contains(QStringLiteral("userid")))
        v[QStringLiteral("userid")] = UserId(QStringLiteral("ana"));
    return Insert(QStringLiteral("ledgeritem"), v);
}

qint64 LedgerFixture::Insert(const QString &table, const QVariantMap &values)
{
    return dst::insertRow(Db.Connection(), table, values);
}

QVariant LedgerFixture::Scalar(const QString &sql, const QVariantList &params)
{
    return dst::scalar(Db.Connection(), sql, params);
}

QString LedgerFixture::Cell(qint64 id, const QString &column)
{
    const QVariant v = dst::itemColumn(Db.Connection(), column, id);
    return v.isNull() ? QString() : v.toString();
}

QVariantList LedgerFixture::Row(qint64 id)
{
    auto q = Db.Connection().OpenQuery(QStringLiteral("SELECT * FROM ledgeritem WHERE ledgeritemid = ?"), {id});
    QVariantList values;
    if (q->next())
        for (int i = 0; i < q->record().count(); ++i)
            values << q->value(i);
    return values;
}

bool LedgerFixture::Show(QWidget &frame, const QSize &size)
{
    frame.resize(size);
    frame.show();
    return QTest::qWaitForWindowExposed(&frame);
}

std::unique_ptr<TLedgerItems> LedgerFixture::OpenItem(qint64 id)
{
    auto items = LedgerDM->NewLedgerItems();
    items->OpenItem(id);
    return items;
}
