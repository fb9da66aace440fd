#pragma once
// The partner table behind a live query and a data source, with every dialog
// scripted: what the bound-control and base-form tests stand on. Start() in
// init (the test then adds its rows and calls Open), Stop() in cleanup.

#include "DataSource.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"
#include "ZQuery.h"

#include <memory>

struct PartnerTable
{
    TestDb Db;
    std::unique_ptr<ScopedScriptedDialogs> Dialogs;
    std::unique_ptr<TZQuery> Query;
    std::unique_ptr<TDataSource> Source;

    // Scripts the dialogs and empties the table; returns the connection for the rows.
    TZConnection &Start()
    {
        Dialogs = std::make_unique<ScopedScriptedDialogs>();
        Db.Connection().ExecSQL(QStringLiteral("DELETE FROM partner"));
        return Db.Connection();
    }

    void AddPartner(const QString &name, const QVariant &address = {}, const QVariant &city = QStringLiteral("Beograd"))
    {
        Db.Connection().ExecSQL(QStringLiteral("INSERT INTO partner (name, address, city) VALUES (?, ?, ?)"),
                                {name, address, city});
    }

    void Open(const QString &columns)
    {
        Query = std::make_unique<TZQuery>();
        Query->SetConnection(&Db.Connection());
        Query->SetSQL(QStringLiteral("SELECT %1 FROM partner ORDER BY partnerid").arg(columns));
        Query->RequestLive = true;
        Query->Open();
        Source = std::make_unique<TDataSource>();
        Source->SetDataSet(Query.get());
    }

    void Stop()
    {
        Source.reset();
        Query.reset();
        Dialogs.reset();
    }

    ScriptedDialogs &dialogs() { return **Dialogs; }
};
