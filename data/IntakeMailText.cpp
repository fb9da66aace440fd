#include "IntakeMailText.h"

#include "GMimeRef.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>

namespace {

bool isUtf8(const QByteArray &bytes)
{
    return g_utf8_validate(bytes.constData(), bytes.size(), nullptr);
}

// Through iconv, as GMime names the charset; nullopt when it cannot.
std::optional<QString> convert(const QByteArray &bytes, const char *charset)
{
    EnsureGMime();
    gsize written = 0;
    GError *error = nullptr;
    const TGString utf8(g_convert(bytes.constData(), bytes.size(), "UTF-8", g_mime_charset_iconv_name(charset),
                                  nullptr, &written, &error));
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return QString::fromUtf8(utf8.get(), qsizetype(written));
}

} // namespace

QString DecodeMailText(const QByteArray &bytes, const QByteArray &charset)
{
    const QByteArray name = charset.trimmed().toLower();
    std::optional<QString> text;
    if (name.isEmpty() || name == "utf-8" || name == "utf8" || name == "us-ascii") {
        if (isUtf8(bytes))
            text = QString::fromUtf8(bytes);
    } else {
        text = convert(bytes, name.constData());
    }
    if (!text)
        text = convert(bytes, "windows-1250");
    if (!text)
        text = QString::fromLatin1(bytes);
    text->replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text->replace(u'\r', u'\n');
    return *text;
}

QString MailHtmlToText(const QString &html)
{
    static const QRegularExpression hidden(QStringLiteral("<(script|style)\\b.*?</\\1\\s*>"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    QString visible = html;
    visible.remove(hidden);
    QTextDocument document;
    document.setHtml(visible);
    return document.toPlainText().trimmed();
}

QByteArray RenderMailPdf(const TMailHeader &header, const QString &to, const QString &body,
                         const QStringList &attachmentNames)
{
    QTextDocument document;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    QTextCharFormat plain;
    QTextCharFormat label;
    label.setFontWeight(QFont::Bold);
    QTextCursor cursor(&document);
    const auto line = [&](const QString &name, const QString &value) {
        if (value.isEmpty())
            return;
        cursor.insertText(name + QStringLiteral(": "), label);
        cursor.insertText(value, plain);
        cursor.insertBlock();
    };
    QString from = header.SenderName;
    if (!header.SenderAddress.isEmpty())
        from = from.isEmpty() ? header.SenderAddress : QStringLiteral("%1 <%2>").arg(from, header.SenderAddress);
    line(QStringLiteral("Od"), from);
    line(QStringLiteral("Za"), to);
    if (header.Sent.isValid())
        line(QStringLiteral("Datum"), header.Sent.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    line(QStringLiteral("Predmet"), header.Subject);
    line(QStringLiteral("Prilozi"), attachmentNames.join(QStringLiteral(", ")));
    cursor.insertBlock();
    cursor.insertText(body, plain);

    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        writer.setTitle(header.Subject);
        writer.setCreator(QStringLiteral("Delovodnik"));
        document.print(&writer);
    }
    return pdf;
}
