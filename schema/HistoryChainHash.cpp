#include "HistoryChainHash.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QVarLengthArray>
#include <openssl/evp.h>
#include <algorithm>

namespace {

void addField(QByteArray &bytes, const QByteArray &utf8)
{
    if (utf8.isNull()) {
        bytes += '-';
        return;
    }
    bytes += '+';
    bytes += QByteArray::number(utf8.size());
    bytes += ':';
    bytes += utf8;
}

} // namespace

QByteArray HistoryChainHash(const THistoryChainRecord &record, const QByteArray &previousHash)
{
    // The encoding is built whole and hashed at once: a check hashes a
    // million entries.
    QByteArray bytes;
    bytes.reserve(512);
    bytes += "ledgerhistory/1\n";
    addField(bytes, QByteArray::number(record.Position));
    // The first entry's previous hash is an empty text.
    addField(bytes, previousHash.isEmpty() ? QByteArray("", 0) : previousHash);
    addField(bytes, QByteArray::number(record.ItemID));
    addField(bytes, record.ChangedAt);
    addField(bytes, record.Kind);
    addField(bytes, record.UserID);
    addField(bytes, record.UserName);
    addField(bytes, record.HostName);
    addField(bytes, record.LedgerNumber);
    addField(bytes, QByteArray::number(record.Values.size()));
    // Column names are plain ASCII: this is their byte order.
    QVarLengthArray<const THistoryChainRecord::TValue *, 16> values;
    for (const auto &v : record.Values)
        values.append(&v);
    std::sort(values.begin(), values.end(), [](const auto *a, const auto *b) {
        return a->Column < b->Column;
    });
    for (const auto *v : values) {
        addField(bytes, v->Column);
        addField(bytes, v->OldValue);
        addField(bytes, v->NewValue);
        addField(bytes, v->OldText);
        addField(bytes, v->NewText);
    }
    // OpenSSL's SHA-256 uses the processor's SHA instructions: a few times
    // faster than QCryptographicHash on a long check.
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_sha256(), nullptr) != 1)
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex();
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

QByteArray HistoryChainUtf8(const QString &text)
{
    if (text.isNull())
        return {};
    const QByteArray utf8 = text.toUtf8();
    return utf8.isNull() ? QByteArray("", 0) : utf8;
}
