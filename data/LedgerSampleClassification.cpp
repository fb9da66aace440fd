#include "LedgerSampleClassification.h"

#include "ZConnection.h"

namespace {

struct Filing
{
    const char *ItemType, *Mark, *OrgUnit;
};

const Filing kFilings[] = {
    {"Dopis", "01", "Pisarnica"},
    {"Obaveštenje", "011", "Pisarnica"},
    {"Zapisnik", "012", "Pisarnica"},
    {"Zahtev", "022", "Pisarnica"},
    {"Odgovor na zahtev", "03", "Pravna služba"},
    {"Ugovor", "031", "Pravna služba"},
    {"Žalba", "032", "Pravna služba"},
    {"Faktura", "41", "Finansijska služba"},
    {"Rešenje", "42", "Finansijska služba"},
};

} // namespace

void ClassifySampleItems(TZConnection &connection)
{
    if (!connection.TableExists(QStringLiteral("classification")) || !connection.TableExists(QStringLiteral("orgunit")))
        return;
    for (const Filing &f : kFilings) {
        const QString type = QString::fromUtf8(f.ItemType), mark = QString::fromUtf8(f.Mark),
                      unit = QString::fromUtf8(f.OrgUnit);
        connection.ExecSQL(QStringLiteral("UPDATE ledgeritem SET classification = ? WHERE itemtype = ? AND cancelled = 'n' "
                                          "AND EXISTS (SELECT 1 FROM classification WHERE mark = ?)"),
                           {mark, type, mark});
        connection.ExecSQL(QStringLiteral("UPDATE ledgeritem SET orgunit = ? WHERE itemtype = ? AND cancelled = 'n' "
                                          "AND EXISTS (SELECT 1 FROM orgunit WHERE name = ?)"),
                           {unit, type, unit});
    }
}
