#pragma once
// An ini file read and written the way a person writes it: "[Section]"
// lines and "key=value" lines, where the value is everything after the first
// '=' but the blanks right after it, with no escapes, quoting, lists or
// trailing comments. So C:\arhiva\skenirano, \\server\share, "a, b" and
// "se,cr;et" read back exactly as written. Section and key names compare
// without regard to case. Saving rewrites only the keys set through
// SetValue and keeps every other line (comments, blank lines, keys of
// others) as it was.

#include "KExport.h"

#include <QString>
#include <QStringList>

class KCOMMON_EXPORT TIniFile
{
public:
    // Reads the file when it exists; a missing file is an empty one.
    explicit TIniFile(QString path);

    const QString &Path() const { return m_path; }
    bool Contains(const QString &section, const QString &key) const;
    QString Value(const QString &section, const QString &key, const QString &def = {}) const;
    // Changes the key's line in place, or adds it at the end of its section
    // (the section at the end of the file when there is none).
    void SetValue(const QString &section, const QString &key, const QString &value);

    // Writes through a temporary file renamed over the old one; a new file
    // is readable and writable by its owner only. Throws KException.
    void Save() const;

private:
    // Index of the key's line, or -1; sectionEnd gets the line after the
    // section's last line (-1 when the section is missing).
    int find(const QString &section, const QString &key, int *sectionEnd = nullptr) const;

    QString m_path;
    QStringList m_lines;
    bool m_crlf = false;
};
