#pragma once
// An office's own empty book, made from the command line:
//   kconsole --new-book --organization NAME --admin LOGIN --password-stdin
//            [--first-name F --last-name L]
// The book is made where the ini points (a new SQLite file, or an empty
// MariaDB database): the tables, the organisation's name (and unit) in the
// settings and one user, the first administrator. No items, partners or
// documents. The first-start dialog makes the same book (MakeEmptyBook).

#include <QString>
#include <functional>

class TSecurityService;
class TZConnection;

struct TNewBook
{
    QString Organization;
    QString Admin;
    QString FirstName;
    QString LastName;
    QString Unit; // the organisational unit; may be empty
};

// The tables on a connected database that has none, then fill's rows. A new
// SQLite file (newFile) is made readable by its owner only, and removed again
// when anything fails, so that a half-made file never passes for a book; the
// error goes on to the caller.
void InstallBook(TZConnection &connection, bool newFile, const std::function<void()> &fill);

// The empty book on a connected database without tables: the tables, the
// organisation's name and unit (settings "Organization"/"Name", "Unit") and
// the administrator saved through security. A new SQLite file (newFile) is
// removed again when anything fails. Throws KException.
void MakeEmptyBook(TZConnection &connection, TSecurityService &security, const TNewBook &book,
                   const QString &password, bool newFile);

// What is missing for a new book; empty when the options make one.
QString NewBookProblem(const TNewBook &book, bool passwordFromStdin);

// Makes the book on connection (its parameters set, not yet connected) and
// says so on standard output. The exit code: 0 made, 7 a book is there
// already (nothing touched), 1 an error (said on standard error; a half-made
// SQLite file is removed).
int CreateNewBook(TZConnection &connection, TSecurityService &security, const TNewBook &book, const QString &password);
