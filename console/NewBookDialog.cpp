#include "NewBookDialog.h"

#include "ConsoleSettings.h"
#include "Dialogs.h"
#include "ErrorLog.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "NewBook.h"
#include "SchemaInstaller.h"
#include "ServerCheck.h"

#include <algorithm>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const QString SqliteDriver = QStringLiteral("QSQLITE");

QLineEdit *lineEdit(QWidget *parent, const char *name, bool secret = false)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (secret)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

// The ini keeps a value's leading blanks out (IniFile.h): such a value would
// not read back as typed.
bool startsWithBlank(const QString &text)
{
    return !text.isEmpty() && (text.front() == u' ' || text.front() == u'\t');
}

} // namespace

bool BookMissing(TZConnection &connection)
{
    if (connection.Params().Driver == SqliteDriver)
        return !QFile::exists(connection.Params().Database);
    try {
        connection.Connect();
        return !SchemaInstalled(connection);
    } catch (const KException &e) {
        // Not a missing book: the start connects again and says why it cannot.
        LogError(e.message());
        return false;
    }
}

TNewBookDialog::TNewBookDialog(TZConnection &connection, TSecurityService &security, QString iniPath,
                               QString bookFolder, TFillSample fillSample, QWidget *parent)
    : QDialog(parent)
    , m_connection(connection)
    , m_security(security)
    , m_iniPath(std::move(iniPath))
    , m_bookFolder(std::move(bookFolder))
    , m_fillSample(std::move(fillSample))
    , m_iniParams(connection.Params())
{
    setObjectName(QStringLiteral("newBookDialog"));
    setWindowTitle(UiText(u"Novi delovodnik"));
    const bool iniSqlite = m_iniParams.Driver == SqliteDriver;

    auto *intro = new QLabel(UiText(u"Delovodnik još ne postoji. Napravite prazan delovodnik svoje "
                                u"organizacije ili primer za isprobavanje programa."), this);
    intro->setWordWrap(true);

    auto *choiceBox = new QGroupBox(UiText(u"Šta se pravi"), this);
    m_empty = new QRadioButton(UiText(u"&Novi prazan delovodnik"), choiceBox);
    m_empty->setObjectName(QStringLiteral("emptyChoice"));
    m_empty->setChecked(true);
    m_sample = new QRadioButton(UiText(u"&Primer delovodnika za isprobavanje"), choiceBox);
    m_sample->setObjectName(QStringLiteral("sampleChoice"));
    auto *choiceLayout = new QVBoxLayout(choiceBox);
    choiceLayout->addWidget(m_empty);
    choiceLayout->addWidget(m_sample);

    m_organizationBox = new QGroupBox(UiText(u"Organizacija"), this);
    m_organization = lineEdit(m_organizationBox, "organizationEdit");
    m_unit = lineEdit(m_organizationBox, "unitEdit");
    auto *organizationForm = new QFormLayout(m_organizationBox);
    organizationForm->addRow(UiText(u"Naziv &organizacije:"), m_organization);
    organizationForm->addRow(UiText(u"Organizaciona &jedinica:"), m_unit);

    m_adminBox = new QGroupBox(UiText(u"Prvi administrator"), this);
    m_login = lineEdit(m_adminBox, "loginEdit");
    m_firstName = lineEdit(m_adminBox, "firstNameEdit");
    m_lastName = lineEdit(m_adminBox, "lastNameEdit");
    m_password = lineEdit(m_adminBox, "passwordEdit", true);
    m_repeat = lineEdit(m_adminBox, "repeatEdit", true);
    auto *adminForm = new QFormLayout(m_adminBox);
    adminForm->addRow(UiText(u"&Korisničko ime:"), m_login);
    adminForm->addRow(UiText(u"&Ime:"), m_firstName);
    adminForm->addRow(UiText(u"P&rezime:"), m_lastName);
    adminForm->addRow(UiText(u"&Lozinka:"), m_password);
    adminForm->addRow(UiText(u"Ponovljena l&ozinka:"), m_repeat);

    auto *placeBox = new QGroupBox(UiText(u"Gde se čuva delovodnik"), this);
    m_sqlite = new QRadioButton(UiText(u"&SQLite datoteka na ovom računaru"), placeBox);
    m_sqlite->setObjectName(QStringLiteral("sqliteChoice"));
    m_file = lineEdit(placeBox, "fileEdit");
    m_file->setText(QDir::toNativeSeparators(iniSqlite ? m_iniParams.Database
                                                       : ConsoleSettings::DefaultBookFile(m_iniPath, m_bookFolder)));
    m_browse = new QPushButton(QStringLiteral("…"), placeBox);
    m_browse->setObjectName(QStringLiteral("browseButton"));
    m_browse->setToolTip(UiText(u"Izbor datoteke"));
    m_browse->setMaximumWidth(m_browse->fontMetrics().horizontalAdvance(QStringLiteral("…")) + 24);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    m_mariadb = new QRadioButton(UiText(u"&MariaDB server"), placeBox);
    m_mariadb->setObjectName(QStringLiteral("mariadbChoice"));
    (iniSqlite ? m_sqlite : m_mariadb)->setChecked(true);

    m_serverPart = new QWidget(placeBox);
    m_host = lineEdit(m_serverPart, "hostEdit");
    m_host->setText(iniSqlite || m_iniParams.Host.isEmpty() ? QStringLiteral("localhost") : m_iniParams.Host);
    m_port = lineEdit(m_serverPart, "portEdit");
    m_port->setText(QString::number(iniSqlite || m_iniParams.Port <= 0 ? 3306 : m_iniParams.Port));
    m_port->setValidator(new QIntValidator(1, 65535, m_port));
    m_port->setMaximumWidth(70);
    m_socket = lineEdit(m_serverPart, "socketEdit");
    m_socket->setPlaceholderText(UiText(u"umesto servera i porta"));
    m_database = lineEdit(m_serverPart, "databaseEdit");
    m_user = lineEdit(m_serverPart, "serverUserEdit");
    m_serverPassword = lineEdit(m_serverPart, "serverPasswordEdit", true);
    if (!iniSqlite) {
        m_socket->setText(m_iniParams.Socket);
        m_database->setText(m_iniParams.Database);
        m_user->setText(m_iniParams.User);
        m_serverPassword->setText(m_iniParams.Password);
    }
    auto *hostRow = new QHBoxLayout;
    hostRow->addWidget(m_host, 1);
    hostRow->addWidget(new QLabel(UiText(u"Port:"), m_serverPart));
    hostRow->addWidget(m_port);
    m_check = new QPushButton(UiText(u"Pro&veri vezu"), m_serverPart);
    m_check->setObjectName(QStringLiteral("checkButton"));
    m_checkText = new QLabel(m_serverPart);
    m_checkText->setObjectName(QStringLiteral("checkLabel"));
    m_checkText->setWordWrap(true);
    auto *serverForm = new QFormLayout(m_serverPart);
    serverForm->setContentsMargins(20, 0, 0, 0);
    serverForm->addRow(UiText(u"Server:"), hostRow);
    serverForm->addRow(UiText(u"Socket:"), m_socket);
    serverForm->addRow(UiText(u"&Baza:"), m_database);
    serverForm->addRow(UiText(u"N&alog:"), m_user);
    serverForm->addRow(UiText(u"Lozinka naloga:"), m_serverPassword);
    serverForm->addRow(m_check, m_checkText);

    auto *placeLayout = new QVBoxLayout(placeBox);
    placeLayout->addWidget(m_sqlite);
    placeLayout->addLayout(fileRow);
    placeLayout->addSpacing(8);
    placeLayout->addWidget(m_mariadb);
    placeLayout->addWidget(m_serverPart);
    placeLayout->addStretch(1);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("errorLabel"));
    m_error->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_error->setWordWrap(true);
    m_error->hide();

    auto *buttons = new QDialogButtonBox(this);
    // Not AcceptRole: the dialog closes only when the book is made.
    auto *create = buttons->addButton(UiText(u"Napravi delovodnik"), QDialogButtonBox::ActionRole);
    create->setObjectName(QStringLiteral("createButton"));
    create->setDefault(true);
    auto *cancel = buttons->addButton(UiText(u"Otkaži"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ConnectGuarded(create, [this] { Create(); });
    ConnectGuarded(m_check, [this] { CheckConnection(); });
    ConnectGuarded(m_browse, [this] { BrowseFile(); });
    for (QRadioButton *choice : {m_empty, m_sample, m_sqlite, m_mariadb})
        connect(choice, &QRadioButton::toggled, this, [this] { updateEnabled(); });

    auto *left = new QVBoxLayout;
    left->addWidget(choiceBox);
    left->addWidget(m_organizationBox);
    left->addWidget(m_adminBox);
    left->addStretch(1);
    // The two columns scroll on a screen too small for them (1024x700 at
    // 150 %), so that the buttons below always stay in sight.
    auto *page = new QWidget;
    auto *columns = new QHBoxLayout(page);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addLayout(left, 1);
    columns->addWidget(placeBox, 1);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("pageScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(scroll, 1);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
    const QSize whole = page->sizeHint() + QSize(2 * layout->contentsMargins().left() + 4,
                                                 intro->sizeHint().height() + buttons->sizeHint().height() + 60);
    const QRect screenArea = screen()->availableGeometry();
    resize(std::min(whole.width(), screenArea.width() - 20), std::min(whole.height(), screenArea.height() - 40));
    updateEnabled();
    m_organization->setFocus();
}

TNewBookDialog::~TNewBookDialog()
{
    // The check ends within its short time-outs; its thread must not outlive the dialog.
    if (m_checkThread)
        m_checkThread->wait();
}

void TNewBookDialog::updateEnabled()
{
    const bool sample = m_sample->isChecked();
    // The sample book is for trying the program out: a file of its own.
    if (sample && !m_sqlite->isChecked())
        m_sqlite->setChecked(true);
    m_organizationBox->setEnabled(!sample);
    m_adminBox->setEnabled(!sample);
    m_mariadb->setEnabled(!sample);
    m_file->setEnabled(m_sqlite->isChecked());
    m_browse->setEnabled(m_sqlite->isChecked());
    m_serverPart->setEnabled(m_mariadb->isChecked());
}

QString TNewBookDialog::inputProblem() const
{
    if (m_organization->text().trimmed().isEmpty())
        return UiText(u"Upišite naziv organizacije.");
    if (m_login->text().trimmed().isEmpty())
        return UiText(u"Upišite korisničko ime administratora.");
    if (m_password->text().isEmpty())
        return UiText(u"Upišite lozinku administratora.");
    if (m_password->text() != m_repeat->text())
        return UiText(u"Lozinka i ponovljena lozinka se ne slažu.");
    return {};
}

TConnectionParams TNewBookDialog::chosenParams(bool server, QString &problem) const
{
    TConnectionParams params = m_iniParams;
    if (!server) {
        params.Driver = SqliteDriver;
        const QString file = QDir::fromNativeSeparators(m_file->text().trimmed());
        if (file.isEmpty()) {
            problem = UiText(u"Upišite datoteku u kojoj će se čuvati delovodnik.");
            return params;
        }
        const QFileInfo info(file);
        params.Database = QDir::cleanPath(info.absoluteFilePath());
        if (!info.absoluteDir().exists())
            problem = UiText(u"Fascikla „%1“ ne postoji.").arg(QDir::toNativeSeparators(info.absolutePath()));
        else if (info.exists())
            problem = UiText(u"Datoteka „%1“ već postoji; izaberite drugu.").arg(QDir::toNativeSeparators(file));
        return params;
    }
    params.Driver = QStringLiteral("QMYSQL");
    params.Servers.clear();
    params.Host = m_host->text().trimmed();
    params.Socket = m_socket->text().trimmed();
    params.Database = m_database->text().trimmed();
    params.User = m_user->text();
    params.Password = m_serverPassword->text();
    bool portOk = false;
    params.Port = m_port->text().trimmed().toInt(&portOk);
    if (params.Socket.isEmpty() && params.Host.isEmpty())
        problem = UiText(u"Upišite adresu servera i port, ili socket.");
    else if (params.Socket.isEmpty() && (!portOk || params.Port < 1 || params.Port > 65535))
        problem = UiText(u"Port servera je broj od 1 do 65535.");
    else if (params.Database.isEmpty())
        problem = UiText(u"Upišite naziv baze na serveru.");
    else if (params.User.isEmpty())
        problem = UiText(u"Upišite nalog na serveru.");
    else if (startsWithBlank(params.User) || startsWithBlank(params.Password))
        problem = UiText(u"Nalog i lozinka na serveru ne mogu da počnu razmakom.");
    if (!portOk)
        params.Port = 3306;
    return params;
}

void TNewBookDialog::makeBook(bool newFile)
{
    if (m_sample->isChecked()) {
        InstallBook(m_connection, newFile, [this] { m_fillSample(m_connection); });
        return;
    }
    const TNewBook book{m_organization->text().trimmed(), m_login->text().trimmed(), m_firstName->text().trimmed(),
                        m_lastName->text().trimmed(), m_unit->text().trimmed()};
    MakeEmptyBook(m_connection, m_security, book, m_password->text(), newFile);
    ConsoleSettings::SetLastLogin(m_iniPath, book.Admin);
}

bool TNewBookDialog::Create()
{
    QString problem = m_sample->isChecked() ? QString() : inputProblem();
    const TConnectionParams params = problem.isEmpty() ? chosenParams(m_mariadb->isChecked(), problem) : TConnectionParams();
    if (!problem.isEmpty()) {
        showProblem(problem);
        return false;
    }
    // The ini first: one that cannot be written stops us before anything is made.
    try {
        ConsoleSettings::SaveConnectionParams(m_iniPath, params, m_bookFolder);
    } catch (const KException &e) {
        showProblem(UiText(u"Podešavanja nisu upisana: %1").arg(e.message()));
        return false;
    }
    m_connection.Disconnect();
    m_connection.SetParams(params);
    try {
        m_connection.Connect();
        if (SchemaInstalled(m_connection))
            throw KException(UiText(u"baza „%1“ već sadrži delovodnik; novi se ne pravi preko njega.")
                                 .arg(params.Database));
        makeBook(params.Driver == SqliteDriver);
    } catch (const KException &e) {
        m_connection.Disconnect();
        m_connection.SetParams(m_iniParams);
        try {
            ConsoleSettings::SaveConnectionParams(m_iniPath, m_iniParams, m_bookFolder);
        } catch (const KException &again) {
            LogError(again.message());
        }
        showProblem(UiText(u"Delovodnik nije napravljen: %1").arg(e.message()));
        return false;
    }
    accept();
    return true;
}

void TNewBookDialog::CheckConnection()
{
    if (CheckRunning())
        return;
    QString problem;
    const TConnectionParams params = chosenParams(true, problem);
    if (!problem.isEmpty()) {
        m_checkText->setText(problem);
        return;
    }
    m_checkText->setText(UiText(u"Proverava se veza…"));
    m_check->setEnabled(false);
    // On a thread of its own: a server that does not answer must not freeze the window.
    auto said = std::make_shared<QString>();
    m_checkThread.reset(QThread::create([params, said] { *said = CheckServer(params); }));
    connect(m_checkThread.get(), &QThread::finished, this, [this, said] {
        m_checkText->setText(*said);
        m_check->setEnabled(true);
    });
    m_checkThread->start();
}

void TNewBookDialog::BrowseFile()
{
    const QString file = Dialogs().SaveFileDialog(UiText(u"Datoteka delovodnika"),
                                                  UiText(u"SQLite baza (*.db);;Sve datoteke (*)"),
                                                  QDir::fromNativeSeparators(m_file->text().trimmed()));
    if (!file.isEmpty())
        m_file->setText(QDir::toNativeSeparators(file));
}

QString TNewBookDialog::Problem() const
{
    return m_error->isHidden() ? QString() : m_error->text();
}

QString TNewBookDialog::CheckText() const
{
    return m_checkText->text();
}

bool TNewBookDialog::CheckRunning() const
{
    return m_checkThread && m_checkThread->isRunning();
}

void TNewBookDialog::showProblem(const QString &text)
{
    m_error->setText(text);
    m_error->show();
}
