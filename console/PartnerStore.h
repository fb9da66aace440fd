#pragma once
// The partners' register in the database, without any window: what a
// partner holds, why one cannot be stored, and its writes. Each write runs
// in a transaction of its own (not inside a caller's) together with its
// record in the registers' history, so both are stored or neither.
// Deactivating and merging are an administrator's; a clerk is refused.

#include "RegisterHistory.h"

#include <QString>
#include <optional>
#include <vector>

class TZConnection;
struct TUserDesc;

struct TPartnerRecord
{
    qint64 ID = 0; // 0: not stored yet
    QString Name;
    QString Address;
    QString City;
    QString Pib;   // 9 digits or empty
    QString Mb;    // 8 digits or empty
    QString Email;
    QString Phone;
    bool Active = true; // an inactive partner is offered nowhere, stays on its items
};

// Why record cannot be stored (in Serbian), or empty text: the name is
// required; PIB and matični broj must be right when given (PartnerNumbers.h);
// the e-mail must look like one; no text longer than its column.
QString PartnerProblem(const TPartnerRecord &record);

// The stored partner id, or nullopt when there is none.
std::optional<TPartnerRecord> ReadPartner(TZConnection &connection, qint64 id);

// The actor of the history for the logged-in user (named "Ime Prezime", or
// by the login when the user has no name).
TRegisterActor PartnerActor(const TUserDesc &user);

// Stores a new partner (its texts trimmed, empty ones as NULL, active) and
// answers its id. Throws KException with PartnerProblem's text when the
// record cannot be stored, EDatabaseError when the database refuses.
qint64 InsertPartner(TZConnection &connection, const TPartnerRecord &record, const TRegisterActor &actor);

// Stores record's texts over the partner record.ID (not its Active: see
// SetPartnerActive) and answers the id; the history gets the columns that
// changed. Throws as InsertPartner, and EStaleRow when the partner is gone.
qint64 UpdatePartner(TZConnection &connection, const TPartnerRecord &record, const TRegisterActor &actor);

// The active partners other than record itself that record duplicates:
// the same PIB, or a name equal under SerbianFold ("ČAČAK PROMET" and
// "Cacak promet"). Inactive ones are left out: they are offered nowhere.
std::vector<TPartnerRecord> FindDuplicates(TZConnection &connection, const TPartnerRecord &record);

// What a clerk reads when asking for an administrator's task.
extern const QString PartnerAdministratorOnlyText;

// Hides (active false) or offers again the partner id. Administrators only:
// throws KException for anyone else, EStaleRow when the partner is gone.
void SetPartnerActive(TZConnection &connection, qint64 id, bool active, const TUserDesc &user);

// Merges the partner mergedID into keptID: its items (ledgeritem.partnerid)
// name keptID from then on, and it stays as an inactive partner, so the
// items' history still names it. Both rows are locked while it runs, so
// another desk's merge or edit of either waits. The history of both gets a
// merge record with the number of items moved. Answers that number.
// Administrators only; refused (KException) for the same partner twice,
// EStaleRow when either is gone.
int MergePartners(TZConnection &connection, qint64 keptID, qint64 mergedID, const TUserDesc &user);

// The columns a clerk edits as they are stored (trimmed, NULL for empty),
// by column name; and in the order name, address, city, pib, mb, email,
// phone, for the statements that write them.
QVariantMap PartnerStoredTexts(const TPartnerRecord &record);
QVariantList PartnerStoredParams(const TPartnerRecord &record);
