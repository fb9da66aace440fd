#pragma once
// A user's own settings, kept per user in the book (table usersetting), so
// they follow the user to every desk. For now the interface's script.
// A desk reads and writes only the rows of the user logged in at it.

#include "InterfaceScript.h"

class TZConnection;

namespace UserSettings {

// The user's script; Latin for a user who never chose one, and for a value
// this program does not know (a newer program's).
TScript Script(TZConnection &connection, qint64 userID);
// Stores the user's script in one statement: two desks of one user saving
// at once leave the later one's choice. Throws EDatabaseError.
void SaveScript(TZConnection &connection, qint64 userID, TScript script);

} // namespace UserSettings
