#include "IniFile.h"

#include "CoreText.h"
#include "KException.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

// "[Name]" gives Name; any other line an empty text.
QString sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    return t.size() >= 2 && t.startsWith(u'[') && t.endsWith(u']') ? t.mid(1, t.size() - 2).trimmed() : QString();
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(u';') || t.startsWith(u'#');
}

QString keyOf(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq > 0 && !isComment(line) ? line.left(eq).trimmed() : QString();
}

QString valueOf(const QString &line)
{
    QString value = line.mid(line.indexOf(u'=') + 1);
    qsizetype blanks = 0;
    while (blanks < value.size() && (value[blanks] == u' ' || value[blanks] == u'\t'))
        ++blanks;
    return value.mid(blanks);
}

} // namespace

TIniFile::TIniFile(QString path) : m_path(std::move(path))
{
    QFile f(m_path);
    if (!f.exists())
        return;
    if (!f.open(QIODevice::ReadOnly))
        throw KException(CoreUi(u"Datoteka %1 ne može da se pročita (%2).")
                             .arg(QDir::toNativeSeparators(m_path), f.errorString()));
    QString text = QString::fromUtf8(f.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    m_crlf = text.contains(QStringLiteral("\r\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_lines = text.split(u'\n');
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

int TIniFile::find(const QString &section, const QString &key, int *sectionEnd) const
{
    bool inside = false;
    int found = -1;
    if (sectionEnd)
        *sectionEnd = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString name = sectionOf(m_lines[i]);
        if (!name.isEmpty()) {
            inside = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inside)
            continue;
        if (sectionEnd && !m_lines[i].trimmed().isEmpty())
            *sectionEnd = i + 1;
        if (found < 0 && keyOf(m_lines[i]).compare(key, Qt::CaseInsensitive) == 0)
            found = i;
    }
    if (sectionEnd && *sectionEnd < 0) {
        // A section with nothing in it yet: right after its heading.
        for (int i = 0; i < m_lines.size(); ++i)
            if (sectionOf(m_lines[i]).compare(section, Qt::CaseInsensitive) == 0)
                *sectionEnd = i + 1;
    }
    return found;
}

bool TIniFile::Contains(const QString &section, const QString &key) const
{
    return find(section, key) >= 0;
}

QString TIniFile::Value(const QString &section, const QString &key, const QString &def) const
{
    const int i = find(section, key);
    return i < 0 ? def : valueOf(m_lines[i]);
}

void TIniFile::SetValue(const QString &section, const QString &key, const QString &value)
{
    if (value.contains(u'\n') || value.contains(u'\r'))
        throw KException(CoreUi(u"Vrednost ključa %1 ne može da ima više redova.").arg(key));
    int end = -1;
    const int i = find(section, key, &end);
    if (i >= 0) {
        m_lines[i] = keyOf(m_lines[i]) + u'=' + value;
        return;
    }
    if (end < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QString();
        m_lines << u'[' + section + u']';
        end = int(m_lines.size());
    }
    m_lines.insert(end, key + u'=' + value);
}

void TIniFile::Save() const
{
    const bool isNew = !QFile::exists(m_path);
    QSaveFile out(m_path);
    const auto fail = [&] {
        throw KException(CoreUi(u"Datoteka %1 ne može da se upiše (%2).")
                             .arg(QDir::toNativeSeparators(m_path), out.errorString()));
    };
    if (!out.open(QIODevice::WriteOnly))
        fail();
    const QString eol = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const QByteArray bytes = (m_lines.join(eol) + eol).toUtf8();
    if (out.write(bytes) != bytes.size())
        fail();
    // It may hold a database password.
    if (isNew && !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        fail();
    if (!out.commit())
        fail();
}
