#include "CsvWriter.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <QIODevice>
#include <cstring>

const QString TCsvWriter::DateFormat = QStringLiteral("dd.MM.yyyy");
const QString TCsvWriter::DateTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm");

namespace {
constexpr qsizetype kFlushAt = 1 << 20;
}

TCsvWriter::TCsvWriter(QIODevice &device) : m_device(device)
{
    m_buffer.reserve(kFlushAt + 4096);
    m_buffer.append("\xEF\xBB\xBF");
}

// Whatever is left goes out with Flush(); a destructor must not throw.
TCsvWriter::~TCsvWriter() = default;

void TCsvWriter::separate()
{
    if (m_rowStarted)
        m_buffer.append(';');
    m_rowStarted = true;
}

void TCsvWriter::AddField(const char *utf8, size_t length)
{
    separate();
    m_buffer.append('"');
    const char *end = utf8 + length;
    for (const char *at = utf8; at < end;) {
        const char *quote = static_cast<const char *>(std::memchr(at, '"', size_t(end - at)));
        if (!quote) {
            m_buffer.append(at, end - at);
            break;
        }
        m_buffer.append(at, quote + 1 - at);
        m_buffer.append('"');
        at = quote + 1;
    }
    m_buffer.append('"');
}

void TCsvWriter::AddField(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    AddField(utf8.constData(), size_t(utf8.size()));
}

void TCsvWriter::EndRow()
{
    m_buffer.append("\r\n", 2);
    m_rowStarted = false;
    if (m_buffer.size() >= kFlushAt)
        Flush();
}

void TCsvWriter::WriteRow(const QStringList &fields)
{
    for (const QString &field : fields)
        AddField(field);
    EndRow();
}

void TCsvWriter::Flush()
{
    if (m_buffer.isEmpty())
        return;
    if (m_device.write(m_buffer) != m_buffer.size())
        throw KException(UiText(u"Upis u datoteku nije uspeo (disk je možda pun)."));
    m_buffer.clear();
}
