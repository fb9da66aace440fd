#pragma once
// Exceptions of the framework. A refusal in a data-module event is thrown as
// one of these and travels up to the screen's guarded handler, which shows it.

#include "KExport.h"

#include <QByteArray>
#include <QString>
#include <exception>

class KCOMMON_EXPORT KException : public std::exception
{
public:
    explicit KException(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Raised by the dataset layer and the connection. The message is short and
// for the user; details (the database's own words, the statement) are for
// the log and the message box's details.
class KCOMMON_EXPORT EDatabaseError : public KException
{
public:
    explicit EDatabaseError(QString message, QString nativeCode = {}, QString details = {})
        : KException(std::move(message)), m_nativeCode(std::move(nativeCode)), m_details(std::move(details)) {}
    const QString &nativeCode() const { return m_nativeCode; }
    const QString &details() const { return m_details; }

    // A refusal of the database: a short Serbian message chosen by the
    // error's code, with the server's text and the statement as details.
    static EDatabaseError FromServer(const QString &serverText, const QString &nativeCode, const QString &sql);

private:
    QString m_nativeCode;
    QString m_details;
};

// The row was changed or deleted by another desk after it was read; the
// write was not made. Screens refresh what they show.
class KCOMMON_EXPORT EStaleRow : public EDatabaseError
{
public:
    explicit EStaleRow(QString message) : EDatabaseError(std::move(message)) {}
};

// Silent abort: stops the operation without a message.
class KCOMMON_EXPORT EAbort : public KException
{
public:
    EAbort() : KException(QStringLiteral("Operacija je prekinuta.")) {}
};
