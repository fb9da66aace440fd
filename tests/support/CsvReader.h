#pragma once
// A small reader of the CSV the exports write, independent of the writer:
// ';' between fields, CRLF or LF between rows, fields in double quotes with
// doubled quotes inside. Tells whether the UTF-8 byte-order mark was there.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>

struct CsvContent
{
    bool Bom = false;
    QList<QStringList> Rows;
};

inline CsvContent ReadCsv(QByteArray bytes)
{
    CsvContent csv;
    csv.Bom = bytes.startsWith("\xEF\xBB\xBF");
    if (csv.Bom)
        bytes.remove(0, 3);
    const QString text = QString::fromUtf8(bytes);
    QStringList row;
    QString field;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = any = true;
        } else if (c == u';') {
            row << field, field.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            row << field, field.clear();
            csv.Rows << row, row.clear();
            any = false;
        } else {
            field += c, any = true;
        }
    }
    if (any || !row.isEmpty())
        csv.Rows << (row << field);
    return csv;
}

inline CsvContent ReadCsvFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? ReadCsv(file.readAll()) : CsvContent();
}
