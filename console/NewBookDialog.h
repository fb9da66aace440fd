#pragma once
// "Novi delovodnik": the first start's dialog, shown when the console starts
// with a window and finds no book where the ini points. It makes either an
// office's own empty book (organisation, first administrator, an SQLite
// file or a MariaDB database) or the sample book to try the program on, and
// writes the chosen place into the ini. Cancelling makes nothing.

#include "ZConnection.h"

#include <QDialog>
#include <QThread>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;
class TSecurityService;

// True when connection's params name no book yet: a missing SQLite file, or
// a MariaDB database without the book's tables (connected to find out). A
// server that cannot be reached is not "no book": the caller reports it.
bool BookMissing(TZConnection &connection);

class TNewBookDialog : public QDialog
{
    Q_OBJECT
public:
    using TFillSample = std::function<void(TZConnection &)>;

    // connection holds the ini's params, which the dialog offers first; on
    // success it is connected to the new book. fillSample writes the sample
    // book's rows.
    TNewBookDialog(TZConnection &connection, TSecurityService &security, QString iniPath, QString bookFolder,
                   TFillSample fillSample, QWidget *parent = nullptr);
    ~TNewBookDialog() override;

    // What the buttons do; public so tests can press them. Create makes the
    // book and accepts, or says what is wrong and keeps everything typed.
    bool Create();
    void CheckConnection();
    void BrowseFile();

    QString Problem() const;
    QString CheckText() const;
    bool CheckRunning() const;

private:
    void showProblem(const QString &text);
    void updateEnabled();
    // The params of the SQLite file or (server) of the MariaDB database as
    // typed; problem says what is wrong with them.
    TConnectionParams chosenParams(bool server, QString &problem) const;
    QString inputProblem() const;
    // Makes the book on the connected database; throws KException.
    void makeBook(bool newFile);

    TZConnection &m_connection;
    TSecurityService &m_security;
    QString m_iniPath;
    QString m_bookFolder;
    TFillSample m_fillSample;
    TConnectionParams m_iniParams;

    QRadioButton *m_empty;
    QRadioButton *m_sample;
    QGroupBox *m_organizationBox;
    QGroupBox *m_adminBox;
    QLineEdit *m_organization;
    QLineEdit *m_unit;
    QLineEdit *m_login;
    QLineEdit *m_firstName;
    QLineEdit *m_lastName;
    QLineEdit *m_password;
    QLineEdit *m_repeat;
    QRadioButton *m_sqlite;
    QRadioButton *m_mariadb;
    QLineEdit *m_file;
    QPushButton *m_browse;
    QWidget *m_serverPart;
    QLineEdit *m_host;
    QLineEdit *m_port;
    QLineEdit *m_socket;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_serverPassword;
    QPushButton *m_check;
    QLabel *m_checkText;
    QLabel *m_error;
    std::unique_ptr<QThread> m_checkThread;
};
