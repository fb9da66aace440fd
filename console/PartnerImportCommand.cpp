#include "PartnerImportCommand.h"

#include "ErrorLog.h"
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
            throw KException(QStringLiteral("Datoteka %1 se ne može otvoriti: %2").arg(file, in.errorString()));
        const TPartnerCsv csv = ReadPartnerCsv(in.readAll());
        const TPartnerImportPlan plan = PlanPartnerImport(connection, csv, csv.Columns);
        const TPartnerImportResult result =
            ImportPartners(connection, csv, csv.Columns,
                           mergeDuplicates ? TDuplicateAction::Merge : TDuplicateAction::Skip, actor);
        for (const TPartnerImportRow &row : plan.Rows)
            if (!row.Problem.isEmpty())
                std::fprintf(stderr, "Red %d odbijen: %s\n", row.Line, qPrintable(row.Problem));
        std::printf("Uvoz partnera iz %s: %s\n", qPrintable(file), qPrintable(PartnerImportSummary(result)));
        return 0;
    } catch (const KException &e) {
        const QString text = QStringLiteral("Partneri nisu uvezeni (ništa nije sačuvano): %1").arg(e.message());
        LogError(text);
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return 1;
    }
}
