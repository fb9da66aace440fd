#pragma once
// Helpers shared by the dataset tests: rows written behind the data set's
// back (as another desk would), plain reads, and a counting link.

#include "DataSource.h"
#include "KException.h"
#include "TestDb.h"
#include "ZConnection.h"
#include "ZQuery.h"

#include <QSqlQuery>
#include <QVariantMap>
#include <QtTest>
#include <memory>
#include <utility>

namespace dst {

inline QVariant scalar(TZConnection &c, const QString &sql, const QVariantList &params = {})
{
    auto q = c.OpenQuery(sql, params);
    return q->next() ? q->value(0) : QVariant();
}

// A row of any table with the columns given; returns its id.
inline qint64 insertRow(TZConnection &c, const QString &table, const QVariantMap &values)
{
    const QStringList marks(values.size(), QStringLiteral("?"));
    c.ExecSQL(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, values.keys().join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
              values.values());
    return c.LastInsertID();
}

inline int countItems(TZConnection &c, const QString &where = QStringLiteral("1 = 1"), const QVariantList &params = {})
{
    return scalar(c, QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE ") + where, params).toInt();
}

inline QVariant itemColumn(TZConnection &c, const QString &column, qint64 id)
{
    return scalar(c, QStringLiteral("SELECT %1 FROM ledgeritem WHERE ledgeritemid = ?").arg(column), {id});
}

inline qint64 addUser(TZConnection &c, const QString &first, const QString &last, const QString &login = {})
{
    return insertRow(c, QStringLiteral("user"),
                     {{QStringLiteral("firstname"), first},
                      {QStringLiteral("lastname"), last},
                      {QStringLiteral("login"), login.isEmpty() ? first.toLower() + last.toLower() : login},
                      {QStringLiteral("passwordhash"), QStringLiteral("x")}});
}

inline qint64 addItem(TZConnection &c, const QString &number, const QString &when, qint64 userId = 1)
{
    c.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                             "VALUES (1, ?, ?, 'Dopis', ?)"),
              {when, number, userId});
    return c.LastInsertID();
}

// Items 1/2024 .. n/2024 on 2024-03-01 .. 2024-03-0n.
inline void addItems(TZConnection &c, int n)
{
    for (int i = 1; i <= n; ++i)
        addItem(c, QStringLiteral("%1/2024").arg(i), QStringLiteral("2024-03-0%1 10:00:00").arg(i));
}

inline std::unique_ptr<TZQuery> liveQuery(TZConnection &c, const QString &sql)
{
    auto q = std::make_unique<TZQuery>();
    q->SetConnection(&c);
    q->SetSQL(sql);
    q->RequestLive = true;
    return q;
}

// The required columns of a new item.
inline void fillNew(TDataSet &q, const QString &number)
{
    q.FieldByName(QStringLiteral("direction")).SetAsInteger(1);
    q.FieldByName(QStringLiteral("ledgerdatetime")).SetAsDateTime(QDateTime(QDate(2024, 3, 9), QTime(8, 0)));
    q.FieldByName(QStringLiteral("ledgernumber")).SetAsString(number);
    q.FieldByName(QStringLiteral("itemtype")).SetAsString(QStringLiteral("Dopis"));
    q.FieldByName(QStringLiteral("userid")).SetAsLargeInt(1);
}

// Moves to the second row and either edits it or starts a filled new row
// (appended or inserted), then sets the item type the test looks for.
inline void startChange(TDataSet &q, bool inserting, const QString &itemType, bool append = true)
{
    q.Next();
    if (inserting) {
        append ? q.Append() : q.Insert();
        fillNew(q, QStringLiteral("9/2024"));
    } else {
        q.Edit();
    }
    q.FieldByName(QStringLiteral("itemtype")).SetAsString(itemType);
}

inline QString numberOf(const TDataSet &q) { return q.FieldByName(QStringLiteral("ledgernumber")).AsString(); }

// Records in order what a bound control is told and, once hooked, the data
// set's own events, by name: "BeforePost", "link:EditingChanged", ...
struct TracingLink : TDataLink
{
    QStringList trace;
    void DataSetChanged() override { trace << QStringLiteral("link:DataSetChanged"); }
    void RecordChanged(TField *) override { trace << QStringLiteral("link:RecordChanged"); }
    void DataSetScrolled() override { trace << QStringLiteral("link:Scrolled"); }
    void EditingChanged() override { trace << QStringLiteral("link:EditingChanged"); }
    void RowInserted(int) override { trace << QStringLiteral("link:RowInserted"); }
    void RowRemoved(int) override { trace << QStringLiteral("link:RowRemoved"); }

    void hookEvents(TDataSet &ds)
    {
        const std::pair<TDataSet::TDataSetNotifyEvent TDataSet::*, const char *> events[] = {
            {&TDataSet::BeforeOpen, "BeforeOpen"},     {&TDataSet::AfterOpen, "AfterOpen"},
            {&TDataSet::BeforeClose, "BeforeClose"},   {&TDataSet::AfterClose, "AfterClose"},
            {&TDataSet::BeforeInsert, "BeforeInsert"}, {&TDataSet::OnNewRecord, "OnNewRecord"},
            {&TDataSet::AfterInsert, "AfterInsert"},   {&TDataSet::BeforeEdit, "BeforeEdit"},
            {&TDataSet::AfterEdit, "AfterEdit"},       {&TDataSet::BeforePost, "BeforePost"},
            {&TDataSet::AfterPost, "AfterPost"},       {&TDataSet::BeforeCancel, "BeforeCancel"},
            {&TDataSet::AfterCancel, "AfterCancel"},   {&TDataSet::BeforeDelete, "BeforeDelete"},
            {&TDataSet::AfterDelete, "AfterDelete"},   {&TDataSet::BeforeScroll, "BeforeScroll"},
            {&TDataSet::AfterScroll, "AfterScroll"}};
        for (const auto &[event, name] : events) {
            const QString text = QString::fromLatin1(name);
            ds.*event = [this, text](TDataSet &) { trace << text; };
        }
    }
    QStringList take() { return std::exchange(trace, {}); }
};

struct Refused : KException
{
    Refused() : KException(QStringLiteral("odbijeno")) {}
};

} // namespace dst

// A database refusal becomes a failure with its message, not an aborted run.
#define DB_TRY(...) QVERIFY_THROWS_NO_EXCEPTION(__VA_ARGS__)

#define DB_SETUP(dbptr)                                                                      \
    do {                                                                                     \
        (dbptr) = std::make_unique<TestDb>();                                                \
        REQUIRE_TESTDB(*(dbptr));                                                            \
    } while (false)
