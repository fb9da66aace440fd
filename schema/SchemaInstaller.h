#pragma once
// Creates the tables of an empty database from the schema files of its
// backend, and completes those of an older one.
//
// The schema is a list of numbered steps: step 1 is the backend's base file
// (mysql.sql / sqlite.sql), later steps add what came since. The table
// schemaversion records each step a database has received. Every statement
// of every step is IF NOT EXISTS, so a step cut short is simply run again.
// A file holds one statement per semicolon at a line's end; a CREATE TRIGGER
// runs to its line "END;".

#include "KException.h"

#include <QStringList>

class TZConnection;

// True when the server refused a statement because the account lacks the
// privilege (MariaDB 1044, 1142, 1143, 1227).
bool IsPermissionDenied(const EDatabaseError &error);

// The account may not create or change tables, as the desks' account of a
// shared MariaDB book may not: the message names what the database's
// administrator runs; the server's refusal is in the details.
class ESchemaRights : public EDatabaseError
{
public:
    ESchemaRights(const TZConnection &connection, const EDatabaseError &refusal);
};

// The highest step this program knows; a new or upgraded database has it.
constexpr int CurrentSchemaVersion = 11;

// The statements of the backend's base schema file, in order.
QStringList SchemaStatements(const TZConnection &connection);
// The statements of one step (1 .. CurrentSchemaVersion) for the backend.
QStringList SchemaStepStatements(const TZConnection &connection, int version);
// Runs every step and records them; throws EDatabaseError on the first
// failure, ESchemaRights when the account may not make tables.
void InstallSchema(TZConnection &connection);
// Brings a database made by an earlier version up to date: runs the base
// file again (an older book gains the indexes added since), then each step
// above the recorded version, in order, recording each. A book from before
// the version table counts as step 1. Idempotent. An account that may not
// change tables leaves an up-to-date book as it is and gets ESchemaRights
// for an older one.
void UpgradeSchema(TZConnection &connection);
// The highest step recorded; 0 for a database without the version table.
int SchemaVersion(TZConnection &connection);
// The user with the lowest id becomes administrator where there is none,
// as on a book upgraded from before roles.
void EnsureAdministrator(TZConnection &connection);
// True when the database already holds the ledger tables.
bool SchemaInstalled(TZConnection &connection);
