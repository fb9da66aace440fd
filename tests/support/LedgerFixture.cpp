#include "LedgerFixture.h"

#include "SampleData.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "integration/LedgerRegistration.h"

#include <QSqlQuery>
#include <QtTest>

void LedgerFixture::Start()
{
    SampleData::Fill(Db.Connection());
    Initialize();
    LedgerDM->SetZConnection(&Db.Connection());
    Console = IRef<TConsole>(new TConsole);
    Security = IRef<TSecurityService>(new TSecurityService(&Db.Connection()));
    Console->AddService(Security);
    Console->AddService(IRef<IInterface>(new TPartnerService(&Db.Connection())));
    Console->AddService(IRef<IInterface>(new TDocumentService(&Db.Connection())));
    GlobalConsole = Console;
}

void LedgerFixture::Stop()
{
    if (!Db.Available())
        return;
    LedgerDM->LedgerItemZQ->Close();
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
        {QStringLiteral("userid"), UserId(QStringLiteral("ana"))},
        {QStringLiteral("accepted"), QStringLiteral("n")},
        {QStringLiteral("archived"), QStringLiteral("n")},
    };
    for (auto it = values.begin(); it != values.end(); ++it)
        v[it.key()] = it.value();
    const QStringList marks(v.size(), QStringLiteral("?"));
    Db.Connection().ExecSQL(QStringLiteral("INSERT INTO ledgeritem (%1) VALUES (%2)")
                                .arg(v.keys().join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                            v.values());
    return Db.Connection().LastInsertID();
}

QVariant LedgerFixture::Scalar(const QString &sql, const QVariantList &params)
{
    auto q = Db.Connection().OpenQuery(sql, params);
    return q->next() ? q->value(0) : QVariant();
}

QString LedgerFixture::Cell(qint64 id, const QString &column)
{
    const QVariant v = Scalar(QStringLiteral("SELECT %1 FROM ledgeritem WHERE ledgeritemid = ?").arg(column), {id});
    return v.isNull() ? QString() : v.toString();
}

void LedgerFixture::OpenItem(qint64 id)
{
    TZQuery &q = *LedgerDM->LedgerItemZQ;
    q.Close();
    q.SetSQL(LedgerDM->LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = %1").arg(id)));
    q.Open();
}
