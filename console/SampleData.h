#pragma once
// The console's own sample rows for a first start on SQLite and for tests:
// three users, partners, documents and document types, a small classification
// plan and three organisational units. The modules add theirs, referring to
// these (ISampleData).

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

    // Inserts the users, in this order, the partners, the documents, the
    // document types, the plan and the units in one transaction; the tables
    // must be empty.
    static void Fill(TZConnection &connection);
};
