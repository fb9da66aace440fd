#pragma once
// Creates the tables of an empty database from the schema file of its
// backend, and completes those of an older one.

#include <QStringList>

class TZConnection;

// The statements of the backend's schema file, in order.
QStringList SchemaStatements(const TZConnection &connection);
// Runs them; throws EDatabaseError on the first failure.
void InstallSchema(TZConnection &connection);
// Brings a database made by an earlier version up to the schema file: on
// SQLite, where every statement is IF NOT EXISTS, runs them all again (an
// older book gains the indexes added since). Idempotent.
void UpgradeSchema(TZConnection &connection);
// True when the database already holds the ledger tables.
bool SchemaInstalled(TZConnection &connection);
