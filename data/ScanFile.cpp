#include "ScanFile.h"

#include "FileCopy.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/LedgerHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QSqlQuery>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Two replacements within one second keep both old files.
QString freeKeptName(const QDir &dir, qint64 itemID, const QDateTime &when)
{
    const QString name = KeptScanName(itemID, when);
    QString candidate = name;
    for (int n = 2; QFileInfo::exists(dir.filePath(candidate)); ++n)
        candidate = name.chopped(4) + u'-' + QString::number(n) + QStringLiteral(".pdf");
    return candidate;
}

// One attempt: the files are put back as they were unless it commits.
QString replaceOnce(TZConnection &connection, const QString &dir, qint64 itemID, const QString &chosen,
                    const THistoryActor &actor, const QDateTime &when)
{
    TZTransaction transaction(connection);
    if (!transaction.LockRow(QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid"), itemID))
        throw KException(UiText(u"Sken nije zamenjen: stavka više ne postoji u delovodniku."));
    QString number;
    {
        auto q = connection.OpenQuery(QStringLiteral("SELECT ledgernumber FROM ledgeritem WHERE ledgeritemid = ?"),
                                      {itemID});
        if (q->next())
            number = q->value(0).toString();
    }

    const QDir folder(dir);
    // A cluster node holds the row on itself only: the files the desks share
    // are held too, until the change is committed or put back.
    QLockFile held(folder.filePath(u'l' + QString::number(itemID) + QStringLiteral(".lock")));
    if (!held.tryLock(30000))
        throw KException(UiText(u"Sken nije zamenjen: sken stavke upravo menja drugi korisnik. Pokušajte ponovo."));
    const QString target = folder.filePath(ItemScanName(itemID));
    QString kept;
    if (QFileInfo::exists(target)) {
        kept = freeKeptName(folder, itemID, when);
        if (!QFile::rename(target, folder.filePath(kept)))
            throw KException(UiText(u"Sken nije zamenjen: %1 ne može da se preimenuje (nema prava upisa u folder).")
                                 .arg(native(target)));
    }
    // Until the history is committed the old scan can be put back.
    bool copied = false;
    auto undo = qScopeGuard([&] {
        if (copied)
            QFile::remove(target);
        if (!kept.isEmpty())
            QFile::rename(folder.filePath(kept), target);
    });
    try {
        CopyFileReplacing(chosen, target, when);
        copied = true;
    } catch (const KException &e) {
        throw KException(UiText(u"Sken nije zamenjen. ") + e.message());
    }
    JournalLedgerItemValues(connection, itemID, number,
                            {{QStringLiteral("scan"), kept.isEmpty() ? QVariant() : QVariant(kept),
                              QFileInfo(chosen).fileName(), QString(), QString()}},
                            actor);
    transaction.Commit();
    undo.dismiss();
    return kept;
}

} // namespace

QString ItemScanName(qint64 itemID)
{
    return u'l' + QString::number(itemID) + QStringLiteral(".pdf");
}

QString KeptScanName(qint64 itemID, const QDateTime &when)
{
    return u'l' + QString::number(itemID) + u'_' + when.toString(QStringLiteral("yyyyMMdd-HHmmss"))
           + QStringLiteral(".pdf");
}

bool LooksLikePdf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

QString ReplaceItemScan(TZConnection &connection, const QString &dir, qint64 itemID, const QString &chosen,
                        const THistoryActor &actor, const QDateTime &when)
{
    if (!QFileInfo(chosen).isFile() || !LooksLikePdf(chosen))
        throw KException(UiText(u"Sken nije zamenjen: %1 nije PDF dokument ili ne može da se pročita.")
                             .arg(native(chosen)));
    // On a cluster the other node's desk may win the row: then again, after it.
    return RetryOnWriteConflict(connection, [&] { return replaceOnce(connection, dir, itemID, chosen, actor, when); });
}
