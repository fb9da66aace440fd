#pragma once
// Small helpers shared by the dataset tests: rows written behind the data
// set's back (as another desk would), scalar reads and a counting link.

#include "DataSource.h"
#include "KException.h"
#include "TestDb.h"
#include "ZConnection.h"
#include "ZQuery.h"

#include <QSqlQuery>
#include <QtTest>
#include <memory>

namespace dst {

inline QVariant scalar(TZConnection &c, const QString &sql, const QVariantList &params = {})
{
    auto q = c.OpenQuery(sql, params);
    return q->next() ? q->value(0) : QVariant();
}

inline qint64 addUser(TZConnection &c, const QString &first, const QString &last)
{
    c.ExecSQL(QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) VALUES (?, ?, ?, 'x')"),
              {first, last, first.toLower() + last.toLower()});
    return c.LastInsertID();
}

inline qint64 addItem(TZConnection &c, const QString &number, const QString &when, qint64 userId = 1,
                      const QString &itemType = QStringLiteral("Dopis"))
{
    c.ExecSQL(QStringLiteral("INSERT INTO ledgeritem (direction, ledgerdatetime, ledgernumber, itemtype, userid) "
                             "VALUES (1, ?, ?, ?, ?)"),
              {when, number, itemType, userId});
    return c.LastInsertID();
}

inline std::unique_ptr<TZQuery> liveQuery(TZConnection &c, const QString &sql)
{
    auto q = std::make_unique<TZQuery>();
    q->SetConnection(&c);
    q->SetSQL(sql);
    q->RequestLive = true;
    return q;
}

// Counts what a bound control would be told.
struct CountingLink : TDataLink
{
    int changed = 0, record = 0, scrolled = 0, editing = 0, inserted = 0, removed = 0;
    void DataSetChanged() override { ++changed; }
    void RecordChanged(TField *) override { ++record; }
    void DataSetScrolled() override { ++scrolled; }
    void EditingChanged() override { ++editing; }
    void RowInserted(int) override { ++inserted; }
    void RowRemoved(int) override { ++removed; }
    int total() const { return changed + record + scrolled + editing + inserted + removed; }
    void reset() { changed = record = scrolled = editing = inserted = removed = 0; }
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
