#pragma once
// A small, realistic docket book for a first start on SQLite and for tests:
// three users, partners, documents and ledger items over several years,
// numbered the way the desk numbers them.

#include <QDate>
#include <QList>
#include <QString>

class TZConnection;

class SampleData
{
public:
    struct User
    {
        QString Login;
        QString Password;
        QString FirstName;
        QString LastName;
    };

    static QList<User> Users();

    // Inserts everything in one transaction; the tables must be empty.
    // Dates near `today` let the quick filters (today, this week) show rows.
    static void Fill(TZConnection &connection, const QDate &today = QDate::currentDate());
};
