#include "NewBook.h"

#include "CommandRunner.h"
#include "DBIniFile.h"
#include "ErrorLog.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "SchemaInstaller.h"
#include "Services.h"
#include "ZConnection.h"

#include <QFile>
#include <cstdio>

namespace {

int refuse(const QString &text, int code)
{
    LogError(text);
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return code;
}

QString bookName(const TZConnection &connection)
{
    return connection.Params().Database;
}

} // namespace

void InstallBook(TZConnection &connection, bool newFile, const std::function<void()> &fill)
{
    const QString file = connection.Params().Database;
    try {
        InstallSchema(connection);
        // The book is the office's: other users of the machine may not read it.
        if (newFile && !QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            std::fprintf(stderr, "%s\n", qPrintable(UiText(u"Prava pristupa bazi %1 nisu postavljena.").arg(file)));
        fill();
        EnsureAdministrator(connection);
    } catch (const KException &) {
        connection.Disconnect();
        if (newFile)
            QFile::remove(file);
        throw;
    }
}

void MakeEmptyBook(TZConnection &connection, TSecurityService &security, const TNewBook &book,
                   const QString &password, bool newFile)
{
    InstallBook(connection, newFile, [&] {
        TDBIniFile settings(&connection);
        const QString section = QStringLiteral("Organization");
        settings.WriteString(section, QStringLiteral("Name"), book.Organization.trimmed());
        if (!book.Unit.trimmed().isEmpty())
            settings.WriteString(section, QStringLiteral("Unit"), book.Unit.trimmed());
        security.SaveUser(book.Admin, book.FirstName, book.LastName, password);
    });
}

QString NewBookProblem(const TNewBook &book, bool passwordFromStdin)
{
    if (book.Organization.trimmed().isEmpty())
        return UiText(u"Uz --new-book navedite naziv organizacije (--organization).");
    if (book.Admin.trimmed().isEmpty())
        return UiText(u"Uz --new-book navedite korisničko ime administratora (--admin).");
    if (!passwordFromStdin)
        return UiText(u"Uz --new-book lozinka administratora se čita iz prvog reda standardnog ulaza "
                  u"(--password-stdin).");
    return {};
}

int CreateNewBook(TZConnection &connection, TSecurityService &security, const TNewBook &book, const QString &password)
{
    const bool sqlite = connection.Params().Driver == QLatin1String("QSQLITE");
    const QString exists = UiText(u"Delovodnik %1 već postoji; novi se ne pravi preko njega.").arg(bookName(connection));
    if (sqlite && QFile::exists(connection.Params().Database))
        return refuse(exists, ceBadLine);
    if (password.isEmpty())
        return refuse(UiText(u"Lozinka administratora nije upisana (prvi red standardnog ulaza je prazan)."), 1);
    try {
        connection.Connect();
        if (SchemaInstalled(connection))
            return refuse(exists, ceBadLine);
        MakeEmptyBook(connection, security, book, password, sqlite);
    } catch (const KException &e) {
        return refuse(UiText(u"Novi delovodnik nije napravljen: %1").arg(e.message()), 1);
    }
    std::printf("%s\n", qPrintable(UiText(u"Napravljen je novi delovodnik %1 za „%2“; administrator: %3.")
                                        .arg(bookName(connection), book.Organization.trimmed(), book.Admin.trimmed())));
    return 0;
}
