#pragma once
// E-mail messages for the intake tests, written as a mail program writes
// them: header lines, a blank line, the body, CRLF line ends.

#include <QByteArray>
#include <QByteArrayList>

inline QByteArray TestMail(const QByteArrayList &header, const QByteArray &body)
{
    QByteArray mail = header.join("\r\n") + "\r\n\r\n" + body;
    return mail.replace("\r\n", "\n").replace("\n", "\r\n");
}

// multipart/mixed: a text/plain UTF-8 part, then the attachment in base64
// under the Content-Disposition's filename parameter as given (quoted,
// encoded words or RFC 2231).
inline QByteArray TestMailWithAttachment(const QByteArrayList &header, const QByteArray &text,
                                         const QByteArray &filename, const QByteArray &mimeType,
                                         const QByteArray &data)
{
    QByteArray base64 = data.toBase64();
    for (qsizetype at = 76; at < base64.size(); at += 78)
        base64.insert(at, "\r\n");
    const QByteArray body = "--b1\r\n"
                            "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n" +
                            text + "\r\n--b1\r\nContent-Type: " + mimeType +
                            "\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; " + filename +
                            "\r\n\r\n" + base64 + "\r\n--b1--\r\n";
    return TestMail(header + QByteArrayList{"MIME-Version: 1.0", "Content-Type: multipart/mixed; boundary=\"b1\""},
                    body);
}
