#pragma once
// CSV for spreadsheets: UTF-8 with a byte-order mark, ';' between fields,
// CRLF after every row, and every field in double quotes with its own quotes
// doubled, so separators, quotes and line breaks inside a value, and leading
// zeros, read back as they were written. Rows are gathered in a buffer and
// written in large pieces.

#include "KExport.h"

#include <QByteArray>
#include <QStringList>
#include <cstddef>

class QIODevice;

class KCOMMON_EXPORT TCsvWriter
{
public:
    // How dates and times are written.
    static const QString DateFormat;     // "dd.MM.yyyy"
    static const QString DateTimeFormat; // "dd.MM.yyyy HH:mm"

    // Writes the byte-order mark at once.
    explicit TCsvWriter(QIODevice &device);
    ~TCsvWriter();
    TCsvWriter(const TCsvWriter &) = delete;
    TCsvWriter &operator=(const TCsvWriter &) = delete;

    void WriteRow(const QStringList &fields);
    // A row field by field; texts already in UTF-8.
    void AddField(const char *utf8, size_t length);
    void AddField(const QString &text);
    void EndRow();
    // Hands the buffer to the device; throws KException when it refuses.
    void Flush();

private:
    void separate();

    QIODevice &m_device;
    QByteArray m_buffer;
    bool m_rowStarted = false;
};
