#pragma once
// The hash that chains the items' history: each entry carries SHA-256 over
// its own content and the hash of the entry before it, so an entry changed,
// removed, added or moved afterwards no longer matches the chain.
//
// The content is encoded so that no two different entries give the same
// bytes: a version tag, then each field in a fixed order, a NULL as "-" and
// a text as "+", its length in UTF-8 bytes, ":" and the bytes. The fields:
// chain position, previous entry's hash (empty for the first), item id,
// time as stored (yyyy-MM-dd hh:mm:ss), kind (i/u/d), user id, user name,
// host name, item number, the number of values, then for each value in the
// order of its column name (compared byte by byte): column, old value, new
// value, old text, new text. Numbers are written in decimal.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

// One entry as the chain sees it: every field as its stored text in UTF-8,
// a null QByteArray where the database holds NULL (a check reads the bytes
// as the database sends them, without converting them).
struct THistoryChainRecord
{
    struct TValue
    {
        QByteArray Column;
        QByteArray OldValue;
        QByteArray NewValue;
        QByteArray OldText;
        QByteArray NewText;
    };
    qint64 Position = 0;
    qint64 ItemID = 0;
    QByteArray ChangedAt;
    QByteArray Kind;
    QByteArray UserID;
    QByteArray UserName;
    QByteArray HostName;
    QByteArray LedgerNumber;
    QList<TValue> Values;
};

// The entry's hash: 64 lower-case hex digits.
QByteArray HistoryChainHash(const THistoryChainRecord &record, const QByteArray &previousHash);

// A read or bound value as the chain's text: NULL as a null QString, a
// date-time as yyyy-MM-dd hh:mm:ss, anything else as its text.
QString HistoryChainText(const QVariant &value);
// A text in UTF-8 as the record holds it: null stays null, empty stays a text.
QByteArray HistoryChainUtf8(const QString &text);
// The same of a read or bound value.
inline QByteArray HistoryChainUtf8(const QVariant &value)
{
    return HistoryChainUtf8(HistoryChainText(value));
}
