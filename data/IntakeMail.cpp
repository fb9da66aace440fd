#include "IntakeMail.h"

#include "GMimeRef.h"
#include "IntakeMailText.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTimeZone>

namespace {

// The header fields every message has at least one of.
bool isKnownField(QByteArrayView name)
{
    static const char *const known[] = {"from", "to", "subject", "date", "received", "return-path", "mime-version",
                                        "message-id", "delivered-to", "content-type", "sender", "reply-to"};
    const QByteArray lower = name.toByteArray().toLower();
    for (const char *field : known)
        if (lower == field)
            return true;
    return false;
}

QByteArray contentBytes(GMimeDataWrapper *content)
{
    const TGObjectRef<GMimeStream> out(g_mime_stream_mem_new());
    if (!content || g_mime_data_wrapper_write_to_stream(content, out.get()) < 0)
        return {};
    const GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
}

QByteArray objectBytes(GMimeObject *object)
{
    const TGObjectRef<GMimeStream> out(g_mime_stream_mem_new());
    if (g_mime_object_write_to_stream(object, nullptr, out.get()) < 0)
        return {};
    const GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
}

QString mimeType(GMimeObject *object)
{
    const TGString type(g_mime_content_type_get_mime_type(g_mime_object_get_content_type(object)));
    return QString::fromUtf8(type.get()).toLower();
}

// What the walk over the message's parts finds.
struct TMailParts
{
    GMimePart *Plain = nullptr;
    GMimePart *Html = nullptr;
    QList<TIntakeAttachment> Attachments;
};

void collectPart(GMimeObject *parent, GMimeObject *object, gpointer data)
{
    auto &parts = *static_cast<TMailParts *>(data);
    if (GMIME_IS_MESSAGE_PART(object)) {
        GMimeMessage *forwarded = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        if (forwarded)
            parts.Attachments << TIntakeAttachment{QStringLiteral("prosleđena poruka.eml"),
                                                   QStringLiteral("message/rfc822"), objectBytes(GMIME_OBJECT(forwarded))};
        return;
    }
    if (!GMIME_IS_PART(object))
        return;
    GMimePart *part = GMIME_PART(object);
    const bool attached = g_mime_part_is_attachment(part);
    GMimeContentType *type = g_mime_object_get_content_type(object);
    if (!attached && g_mime_content_type_is_type(type, "text", "plain")) {
        if (!parts.Plain)
            parts.Plain = part;
        return;
    }
    if (!attached && g_mime_content_type_is_type(type, "text", "html")) {
        if (!parts.Html)
            parts.Html = part;
        return;
    }
    // The pictures an HTML body shows (a logo, a signature) are not attachments.
    if (!attached && parent && g_mime_content_type_is_type(g_mime_object_get_content_type(parent), "multipart", "related"))
        return;
    // Nor is a signed message's signature.
    if (g_mime_content_type_is_type(type, "application", "pkcs7-signature") ||
        g_mime_content_type_is_type(type, "application", "x-pkcs7-signature") ||
        g_mime_content_type_is_type(type, "application", "pgp-signature"))
        return;
    const char *name = g_mime_part_get_filename(part);
    TIntakeAttachment attachment;
    attachment.FileName = name ? QFileInfo(QString::fromUtf8(name)).fileName()
                               : QStringLiteral("prilog %1").arg(parts.Attachments.size() + 1);
    attachment.MimeType = mimeType(object);
    attachment.Data = contentBytes(g_mime_part_get_content(part));
    parts.Attachments << attachment;
}

QString partText(GMimePart *part)
{
    const char *charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
    return DecodeMailText(contentBytes(g_mime_part_get_content(part)), QByteArray(charset ? charset : ""));
}

QDateTime sentAt(GMimeMessage *message)
{
    GDateTime *date = g_mime_message_get_date(message);
    if (!date)
        return {};
    const int offset = int(g_date_time_get_utc_offset(date) / G_TIME_SPAN_SECOND);
    return QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date), QTimeZone(offset));
}

void readSender(GMimeMessage *message, TMailHeader &header)
{
    InternetAddressList *from = g_mime_message_get_from(message);
    if (!from || internet_address_list_length(from) == 0)
        return;
    InternetAddress *address = internet_address_list_get_address(from, 0);
    if (const char *name = internet_address_get_name(address))
        header.SenderName = QString::fromUtf8(name).simplified();
    if (INTERNET_ADDRESS_IS_MAILBOX(address))
        header.SenderAddress =
            QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))).trimmed().toLower();
}

QString recipients(GMimeMessage *message)
{
    InternetAddressList *to = g_mime_message_get_to(message);
    if (!to || internet_address_list_length(to) == 0)
        return {};
    const TGString text(internet_address_list_to_string(to, nullptr, FALSE));
    return QString::fromUtf8(text.get());
}

} // namespace

namespace {

// "Name: value", the name printable ASCII without spaces.
bool isFieldLine(QByteArrayView line, bool &known)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    const QByteArrayView name = line.first(colon);
    for (char c : name)
        if (c <= ' ' || c > '~')
            return false;
    known = known || isKnownField(name);
    return true;
}

} // namespace

bool LooksLikeMail(const QByteArray &content)
{
    // The header ends at the first blank line; a message's fits easily in 64 KiB.
    const QByteArrayView head = QByteArrayView(content).first(std::min<qsizetype>(content.size(), 64 * 1024));
    bool known = false;
    qsizetype lines = 0;
    // Mail programs write the odd broken line; a few are forgiven once the start looked right.
    int broken = 0;
    for (qsizetype at = 0; at < head.size();) {
        qsizetype end = head.indexOf('\n', at);
        if (end < 0)
            end = head.size();
        QByteArrayView line = head.sliced(at, end - at);
        at = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break;
        ++lines;
        const bool continued = line.front() == ' ' || line.front() == '\t';
        // An mbox file's separator line may stand first.
        if (lines == 1 && (continued || !(line.startsWith("From ") || isFieldLine(line, known))))
            return false;
        if (lines > 1 && !continued && !isFieldLine(line, known) && ++broken > 2)
            return false;
    }
    return known;
}

TIntakeDocument ReadIntakeMail(const QByteArray &content, const QString &sourcePath)
{
    const QString fileName = QFileInfo(sourcePath).fileName();
    if (!LooksLikeMail(content))
        throw KException(UiText(u"Datoteka „%1“ nije poruka e-pošte.").arg(fileName));
    EnsureGMime();
    const TGObjectRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(content.constData(), size_t(content.size())));
    const TGObjectRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    const std::unique_ptr<GMimeParserOptions, decltype(&g_mime_parser_options_free)> options(
        g_mime_parser_options_new(), &g_mime_parser_options_free);
    // Headers written in 8 bits without saying how: UTF-8, else what Serbian mail programs use.
    const char *fallback[] = {"UTF-8", "windows-1250", nullptr};
    g_mime_parser_options_set_fallback_charsets(options.get(), fallback);
    const TGObjectRef<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), options.get()));
    if (!message)
        throw KException(UiText(u"Datoteka „%1“ nije poruka e-pošte.").arg(fileName));

    TIntakeDocument document;
    document.SourcePath = sourcePath;
    document.Kind = TIntakeKind::Mail;
    document.Sha256 = QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());

    TMailHeader header;
    readSender(message.get(), header);
    if (const char *subject = g_mime_message_get_subject(message.get()))
        header.Subject = QString::fromUtf8(subject).simplified();
    header.Sent = sentAt(message.get());

    TMailParts parts;
    g_mime_message_foreach(message.get(), collectPart, &parts);
    QString text;
    if (parts.Plain)
        text = partText(parts.Plain).trimmed();
    if (text.isEmpty() && parts.Html)
        text = MailHtmlToText(partText(parts.Html));
    if (text.isEmpty() && parts.Attachments.isEmpty())
        throw KException(UiText(u"Poruka „%1“ nema ni tekst ni priloge.").arg(fileName));

    document.Pages << TIntakePage{text, TTextSource::Mail, 1.0};
    document.Attachments = parts.Attachments;
    QStringList names;
    for (const TIntakeAttachment &attachment : parts.Attachments)
        names << attachment.FileName;
    document.ScanPdf = RenderMailPdf(header, recipients(message.get()), text, names);
    document.Mail = header;
    return document;
}
