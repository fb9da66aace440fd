#include "LedgerDMUnit.h"

#include "Clock.h"
#include "CommonStrings.h"
#include "Dialogs.h"
#include "IniFile.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "LedgerHistory.h"
#include "SqlText.h"
#include "SubjectWords.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "data/ClosedYears.h"
#include "data/LedgerResourceString.h"
#include "data/ReportText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>
#include <QImage>

TCaptionMap DirectionMap(-1);
TCaptionMap MailTypeMap(1);
TLedgerDM *LedgerDM = nullptr;

const QString TLedgerDM::LedgerItemSQL = QStringLiteral(
    "SELECT DISTINCT l.*,CONCAT('') linkedto,CONCAT(p.name,'') AS partnername,CONCAT(d.number,'') AS documentnumber,\n"
    "  CONCAT(u1.firstname,' ',u1.lastname) AS inusername,CONCAT(u2.firstname,' ',u2.lastname) AS username,"
    "CONCAT(u3.firstname,' ',u3.lastname) AS outusername\n"
    "FROM ledgeritem AS l\n"
    "  LEFT JOIN ledgeritem AS l1 ON l.ledgeritemid = l1.passonparentid\n"
    "  LEFT JOIN partner AS p ON p.partnerid = l.partnerid\n"
    "  LEFT JOIN document AS d ON d.documentid = l.documentid\n"
    "  LEFT JOIN user AS u1 ON u1.userid = l.inuserid \n"
    "  LEFT JOIN user AS u2 ON u2.userid = l.userid \n"
    "  LEFT JOIN user AS u3 ON u3.userid = l.outuserid \n"
    "WHERE l.ledgeritemid = -1");

// ---- Vocabularies -------------------------------------------------------------

QString GetDirectionCaption(int code)
{
    return DirectionMap.Contains(code) ? DirectionMap[code] : QString();
}

QString GetMailTypeCaption(int code)
{
    return MailTypeMap.Contains(code) ? MailTypeMap[code] : QString();
}

QString ShownCaption(const QString &latin)
{
    // Per thread: a search may be put together away from the grid's thread.
    thread_local TScript script = TScript::Latin;
    thread_local QHash<QString, QString> shown;
    if (script != InterfaceScript()) {
        script = InterfaceScript();
        shown.clear();
    }
    auto it = shown.constFind(latin);
    if (it == shown.cend())
        it = shown.insert(latin, UiText(latin));
    return *it;
}

namespace {

// A combo or a typed criterion gives the caption as shown.
bool isCaption(const QString &text, const QString &latin)
{
    return text == latin || text == ShownCaption(latin);
}

} // namespace

int GetMailType(const QString &caption)
{
    for (int code = 1; code <= 5; ++code)
        if (MailTypeMap.Contains(code) && isCaption(caption, MailTypeMap[code]))
            return code;
    return 3;
}

int TLedgerDM::GetDirection(const QString &caption) const
{
    if (isCaption(caption, GetDirectionCaption(-1)))
        return -1;
    if (isCaption(caption, GetDirectionCaption(1)))
        return 1;
    return 0;
}

// ---- Creation -------------------------------------------------------------------

TLedgerDM::TLedgerDM(QObject *owner) : TCustomDM(owner)
{
    setObjectName(QStringLiteral("LedgerDM"));
    // The module's icon: a closed docket book.
    ImageList << QImage(QStringLiteral(":/ledger/icons/ledger.png"));
    m_layout = new TLedgerItems(*this, this);
    m_layout->setObjectName(QStringLiteral("LedgerItemLayout"));
    DataModuleCreate();
}

TLedgerDM::~TLedgerDM() = default;

void TLedgerDM::DataModuleCreate()
{
    TCustomDM::DataModuleCreate();
    FValidator = std::make_unique<TValidator>(FFieldValidations);
}

void TLedgerDM::SetZConnection(TZConnection *connection)
{
    TCustomDM::SetZConnection(connection);
    emit ConnectionChanged(connection);
}

std::unique_ptr<TLedgerItems> TLedgerDM::NewLedgerItems(QObject *parent)
{
    return std::make_unique<TLedgerItems>(*this, parent);
}

// ---- Conditions, user and status -----------------------------------------------------------

QString TLedgerDM::LedgerItemChangeSQLCondition(const QString &condition) const
{
    return ChangeSQLCondition(LedgerItemSQL, condition);
}

int TLedgerDM::GetUserID() const
{
    TUserDesc user;
    if (!m_context || !m_context->CurrentUser(user))
        return -1;
    return user.UserID;
}

THistoryActor TLedgerDM::HistoryActor() const
{
    return CurrentHistoryActor(m_context);
}

void TLedgerDM::ShowStatus(const QString &text) const
{
    if (m_context)
        m_context->ShowStatus(text, 5000);
}

// ---- Numbering and new items -----------------------------------------------------------

int TLedgerDM::GetLedgerIndex(const QDateTime &dateTime, int direction)
{
    // Bounded above too: one item stored with a mistyped later year would
    // otherwise shift every number still to come in this one.
    const int year = dateTime.date().year();
    TZReadOnlyQuery query(&Connection(),
                          QStringLiteral("SELECT COUNT(ledgeritemid) AS ledgercount FROM ledgeritem WHERE passonparentid IS NULL "
                                         "AND NOT (ledgernumber LIKE '%-%') AND ledgerdatetime >= ? "
                                         "AND ledgerdatetime < ? AND direction = ?"),
                          {QStringLiteral("%1-01-01").arg(year, 4, 10, QChar(u'0')),
                           QStringLiteral("%1-01-01").arg(year + 1, 4, 10, QChar(u'0')), direction});
    query.Open();
    query.First();
    return query.FieldByName(QStringLiteral("ledgercount")).AsInteger() + 1;
}

QString TLedgerDM::NextLedgerNumber(const QDateTime &dateTime, int direction)
{
    // The count + 1, unless a gap (a renumbered or deleted item) left that
    // number in use: then the next one that is free, never one the numbering
    // rule would refuse.
    const QString year = dateTime.toString(QStringLiteral("yy"));
    int index = GetLedgerIndex(dateTime, direction);
    for (int tries = 0; tries < 100000; ++tries, ++index) {
        const QString number = QString::number(index) + u'/' + year;
        auto used = Connection().OpenQuery(QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE ledgernumber = ? "
                                                          "AND direction = ? AND passonparentid IS NULL"),
                                           {number, direction});
        if (!used->next())
            return number;
    }
    throw KException(UiText(u"Slobodan delovodni broj nije pronađen."));
}

// ---- Validation and deletion -------------------------------------------------------------

bool TestLedgerNumber(TField &field)
{
    if (!TestZeroLength(field))
        return false;
    TField &passOnParent = field.DataSet().FieldByName(QStringLiteral("passonparentid"));
    TField &direction = field.DataSet().FieldByName(QStringLiteral("direction"));
    if (!passOnParent.IsNull())
        return true;
    return TestUnique(field, QStringLiteral("ledgeritem"), QStringLiteral("ledgernumber"), QStringLiteral("ledgeritemid"),
                      QStringLiteral("passonparentid IS NULL AND direction = ?"), 0, {direction.AsInteger()});
}

// ---- Copying and the scanned-documents directory ----------------------------------------

bool TLedgerDM::LinksBackTo(qint64 item, qint64 target)
{
    // Bounded: links stored by another tool may already form a loop.
    for (int depth = 0; item > 0 && depth < 1000; ++depth) {
        if (item == target)
            return true;
        auto q = Connection().OpenQuery(QStringLiteral("SELECT parentid FROM ledgeritem WHERE ledgeritemid = ?"), {item});
        item = q->next() ? q->value(0).toLongLong() : 0;
    }
    return false;
}

int TLedgerDM::CopyLedgerItem(int itemID, const TStringArr &assignments)
{
    const bool own = !Connection().InTransaction();
    const int newID = copyLedgerItem(itemID, assignments);
    // Inside a caller's transaction the caller tells, once it has committed.
    if (own && newID > 0)
        emit ItemStored(newID, nullptr);
    return newID;
}

int TLedgerDM::copyLedgerItem(int itemID, const TStringArr &assignments)
{
    // The copy and its history entry stand or fall together.
    std::optional<TZTransaction> transaction;
    if (!Connection().InTransaction())
        transaction.emplace(Connection());
    // Never into a closed year: said before the write, and so when the database refuses it.
    QDateTime copyDate;
    for (const QString &a : assignments)
        if (a.startsWith(QLatin1String("ledgerdatetime=")))
            copyDate = StoredDateTime(a.section(u'=', 1));
    if (copyDate.isValid())
        CheckYearsOpen(Connection(), {copyDate});
    else
        CheckItemYearOpen(Connection(), itemID);
    int copied = 0;
    try {
        copied = CopyDataSet(QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid = ?"), assignments, QString(), {itemID});
    } catch (const EDatabaseError &e) {
        ThrowIfClosedYearRefusal(Connection(), e, {copyDate});
        throw;
    }
    // Without a copy the connection's last insert id would name some earlier row.
    if (copied == 0)
        return 0;
    const qint64 newID = GetLastInsertID();
    JournalLedgerItemCopy(Connection(), newID, HistoryActor());
    StoreStoredSubjectWords(Connection(), newID);
    if (transaction)
        transaction->Commit();
    return int(newID);
}

QString TLedgerDM::ApplicationIniFileName()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.absolutePath() + u'/' + exe.completeBaseName() + QStringLiteral(".ini");
}

bool TLedgerDM::OpenOnToday(const QString &iniPath)
{
    return TIniFile(iniPath).Value(QStringLiteral("Ledger"), QStringLiteral("OpenOnToday")).trimmed() != QLatin1String("0");
}

QString TLedgerDM::ConfiguredScannedDocumentDir()
{
    const QString def = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("scanned"));
    return TIniFile(ApplicationIniFileName()).Value(QStringLiteral("Document"), QStringLiteral("ScanDocDir"), def);
}

QString TLedgerDM::GetScannedDocumentFilePath()
{
    QString result;
    TIniFile ini(ApplicationIniFileName());
    const QString dir = ConfiguredScannedDocumentDir();
    if (QFileInfo(dir).isDir()) {
        result = dir;
    } else if (MessageDlg(UiText(_SCAN_DOC_DIR_WRN), TMsgDlgType::Warning, mbYes | mbNo) == mbYes) {
        if (!QDir().mkpath(dir)) {
            MessageDlg(UiText(u"Folder %1 nije napravljen: nema prava upisa ili putanja nije ispravna.")
                           .arg(QDir::toNativeSeparators(dir)),
                       TMsgDlgType::Error, mbOK);
            return result;
        }
        result = dir;
    } else {
        const QString chosen = BrowseDialog(UiText(_SCAN_DOC_DIR_TITLE), 0);
        if (chosen.isEmpty() || !QFileInfo(chosen).isDir())
            return result;
        ini.SetValue(QStringLiteral("Document"), QStringLiteral("ScanDocDir"), chosen);
        ini.Save();
        result = chosen;
    }
    return result;
}

// ---- Unit start-up and shut-down -----------------------------------------------------------

void LedgerDMUnit_Initialize()
{
    DirectionMap.Fill({_LEDGER_OUTPUT_TYPE, _LEDGER_INTERNAL_TYPE, _LEDGER_INPUT_TYPE});
    MailTypeMap.Fill({_LEDGER_POST_TYPE, _LEDGER_INT_MAIL_TYPE, _LEDGER_MAIL_TYPE, _LEDGER_FAX_TYPE,
                      _LEDGER_OPERATER_TYPE});
    LedgerDM = new TLedgerDM(nullptr);
}

void LedgerDMUnit_Finalize()
{
    delete LedgerDM;
    LedgerDM = nullptr;
    MailTypeMap.Clear();
    DirectionMap.Clear();
}
