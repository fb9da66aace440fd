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

#include <QStringList>

class TZConnection;

// The highest step this program knows; a new or upgraded database has it.
constexpr int CurrentSchemaVersion = 8;

// The statements of the backend's base schema file, in order.
QStringList SchemaStatements(const TZConnection &connection);
// The statements of one step (1 .. CurrentSchemaVersion) for the backend.
QStringList SchemaStepStatements(const TZConnection &connection, int version);
// Runs every step and records them; throws EDatabaseError on the first failure.
void InstallSchema(TZConnection &connection);
// Brings a database made by an earlier version up to date: runs the base
// file again (an older book gains the indexes added since), then each step
// above the recorded version, in order, recording each. A book from before
// the version table counts as step 1. Idempotent.
void UpgradeSchema(TZConnection &connection);
// The highest step recorded; 0 for a database without the version table.
int SchemaVersion(TZConnection &connection);
// The user with the lowest id becomes administrator where there is none,
// as on a book upgraded from before roles.
void EnsureAdministrator(TZConnection &connection);
// True when the database already holds the ledger tables.
bool SchemaInstalled(TZConnection &connection);
