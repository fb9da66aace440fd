#include "PartnerImportCommand.h"

#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "PartnerImport.h"

#include <QFile>
#include <cstdio>

int ImportPartnersCommand(TZConnection &connection, const QString &file, bool mergeDuplicates,
                          const TRegisterActor &actor)
{
    try {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            throw KException(UiText(u"Datoteka %1 se ne može otvoriti: %2").arg(file, in.errorString()));
        const TPartnerCsv csv = ReadPartnerCsv(in.readAll());
        const TPartnerImportPlan plan = PlanPartnerImport(connection, csv, csv.Columns);
        const TPartnerImportResult result =
            ImportPartners(connection, csv, csv.Columns,
                           mergeDuplicates ? TDuplicateAction::Merge : TDuplicateAction::Skip, actor);
        for (const TPartnerImportRow &row : plan.Rows)
            if (!row.Problem.isEmpty())
                std::fprintf(stderr, "%s\n", qPrintable(UiText(u"Red %1 odbijen: %2").arg(row.Line).arg(row.Problem)));
        std::printf("%s\n", qPrintable(UiText(u"Uvoz partnera iz %1: %2").arg(file, PartnerImportSummary(result))));
        return 0;
    } catch (const KException &e) {
        const QString text = UiText(u"Partneri nisu uvezeni (ništa nije sačuvano): %1").arg(e.message());
        LogError(text);
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return 1;
    }
}
