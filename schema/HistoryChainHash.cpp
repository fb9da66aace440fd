#include "HistoryChainHash.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <algorithm>

namespace {

void addField(QCryptographicHash &hash, const QString &text)
{
    if (text.isNull()) {
        hash.addData(QByteArrayView("-"));
        return;
    }
    const QByteArray bytes = text.toUtf8();
    hash.addData(QByteArrayView("+"));
    hash.addData(QByteArray::number(bytes.size()));
    hash.addData(QByteArrayView(":"));
    hash.addData(bytes);
}

} // namespace

QByteArray HistoryChainHash(const THistoryChainRecord &record, const QByteArray &previousHash)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView("ledgerhistory/1\n"));
    addField(hash, QString::number(record.Position));
    // The first entry's previous hash is an empty text.
    addField(hash, previousHash.isEmpty() ? QStringLiteral("") : QString::fromLatin1(previousHash));
    addField(hash, QString::number(record.ItemID));
    addField(hash, record.ChangedAt);
    addField(hash, record.Kind);
    addField(hash, record.UserID);
    addField(hash, record.UserName);
    addField(hash, record.HostName);
    addField(hash, record.LedgerNumber);
    addField(hash, QString::number(record.Values.size()));
    QList<const THistoryChainRecord::TValue *> values;
    for (const auto &v : record.Values)
        values << &v;
    // Column names are plain ASCII: this is their byte order.
    std::sort(values.begin(), values.end(), [](const auto *a, const auto *b) {
        return a->Column.compare(b->Column, Qt::CaseSensitive) < 0;
    });
    for (const auto *v : values) {
        addField(hash, v->Column);
        addField(hash, v->OldValue);
        addField(hash, v->NewValue);
        addField(hash, v->OldText);
        addField(hash, v->NewText);
    }
    return hash.result().toHex();
}

QString HistoryChainText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QString text = value.toString();
    // An empty text stays a text, not a NULL.
    return text.isNull() ? QStringLiteral("") : text;
}
