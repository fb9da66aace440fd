#pragma once
// Creates the tables of an empty database from the schema file of its backend.

#include <QStringList>

class TZConnection;

// The statements of the backend's schema file, in order.
QStringList SchemaStatements(const TZConnection &connection);
// Runs them; throws EDatabaseError on the first failure.
void InstallSchema(TZConnection &connection);
// True when the database already holds the ledger tables.
bool SchemaInstalled(TZConnection &connection);
