#include "FileCopy.h"

#include "CoreText.h"
#include "KException.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

[[noreturn]] void fail(const QString &reason)
{
    throw KException(CoreUi(u"Datoteka nije kopirana: %1").arg(reason));
}

} // namespace

void CopyFileReplacing(const QString &source, const QString &target, const QDateTime &modified)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(CoreUi(u"%1 ne može da se pročita (%2).").arg(QDir::toNativeSeparators(source), in.errorString()));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        fail(CoreUi(u"%1 ne može da se upiše (%2).").arg(QDir::toNativeSeparators(target), out.errorString()));
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0)
            fail(CoreUi(u"greška pri čitanju %1 (%2).").arg(QDir::toNativeSeparators(source), in.errorString()));
        if (n == 0)
            break;
        if (out.write(chunk.constData(), n) != n)
            fail(CoreUi(u"greška pri upisu %1 (%2).").arg(QDir::toNativeSeparators(target), out.errorString()));
    }
    // Set on the temporary file: the rename keeps it.
    if (!out.setFileTime(modified, QFileDevice::FileModificationTime))
        fail(CoreUi(u"vreme izmene za %1 nije postavljeno (%2).")
                 .arg(QDir::toNativeSeparators(target), out.errorString()));
    if (!out.commit())
        fail(CoreUi(u"%1 ne može da se upiše (%2).").arg(QDir::toNativeSeparators(target), out.errorString()));
}
