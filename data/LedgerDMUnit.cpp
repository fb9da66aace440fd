#include "LedgerDMUnit.h"

#include "Clock.h"
#include "CommonStrings.h"
#include "Dialogs.h"
#include "IniFile.h"
#include "KException.h"
#include "LedgerHistory.h"
#include "SqlText.h"
#include "ZConnection.h"
#include "ZTransaction.h"
#include "integration/GlobalConsole.h"
#include "data/LedgerResourceString.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

int GetMailType(const QString &caption)
{
    for (int code = 1; code <= 5; ++code)
        if (MailTypeMap.Contains(code) && caption == MailTypeMap[code])
            return code;
    return 3;
}

int TLedgerDM::GetDirection(const QString &caption) const
{
    if (caption == GetDirectionCaption(-1))
        return -1;
    if (caption == GetDirectionCaption(1))
        return 1;
    return 0;
}

void TLedgerDM::LedgerItemZQdirectionGetText(TField &sender, QString &text, bool)
{
    text = GetDirectionCaption(sender.AsInteger());
}

void TLedgerDM::LedgerItemZQdirectionSetText(TField &sender, const QString &text)
{
    sender.SetAsInteger(GetDirection(text));
}

void TLedgerDM::LedgerItemZQinmailtypeGetText(TField &sender, QString &text, bool)
{
    text = sender.IsNull() ? QString() : GetMailTypeCaption(sender.AsInteger());
}

void TLedgerDM::LedgerItemZQinmailtypeSetText(TField &sender, const QString &text)
{
    sender.SetAsInteger(GetMailType(text));
}

void TLedgerDM::LedgerItemZQoutmailtypeGetText(TField &sender, QString &text, bool)
{
    text = sender.IsNull() ? QString() : GetMailTypeCaption(sender.AsInteger());
}

void TLedgerDM::LedgerItemZQoutmailtypeSetText(TField &sender, const QString &text)
{
    sender.SetAsInteger(GetMailType(text));
}

void TLedgerDM::LedgerItemZQacceptedGetText(TField &sender, QString &text, bool)
{
    text = sender.AsBoolean() ? _YES_CAP : _NO_CAP;
}

void TLedgerDM::LedgerItemZQacceptedSetText(TField &sender, const QString &text)
{
    sender.SetAsBoolean(text == _YES_CAP);
}

// ---- Creation -------------------------------------------------------------------

TLedgerDM::TLedgerDM(QObject *owner) : TCustomDM(owner)
{
    setObjectName(QStringLiteral("LedgerDM"));
    createLayout();
    DataModuleCreate();
}

TLedgerDM::~TLedgerDM() = default;

void TLedgerDM::createLayout()
{
    // The module's icon: a closed docket book.
    ImageList << QImage(QStringLiteral(":/ledger/icons/ledger.png"));

    LedgerItemZQ = new TZQuery(this);
    LedgerItemZQ->setObjectName(QStringLiteral("LedgerItemZQ"));
    LedgerItemZQ->SetSQL(LedgerItemSQL);
    LedgerItemZQ->RequestLive = true;
    LedgerItemZQ->UpdateMode = TUpdateMode::umUpdateChanged;
    LedgerItemZQ->WhereMode = TWhereMode::wmWhereKeyOnly;
    LedgerItemZQ->CalcDefaults = true;
    LedgerItemZQ->UpdateTable = QStringLiteral("ledgeritem");

    auto add = [&](const char *name, TFieldType type, int size, const QString &label, bool required = false) {
        TField &f = LedgerItemZQ->AddField(QString::fromLatin1(name), type, size);
        f.SetDisplayLabel(label);
        f.Required = required;
        return &f;
    };
    using T = TFieldType;
    LedgerItemZQledgeritemid = add("ledgeritemid", T::Largeint, 0, QString());
    LedgerItemZQdirection = add("direction", T::Smallint, 0, QStringLiteral("Tip"), true);
    LedgerItemZQledgerdatetime = add("ledgerdatetime", T::DateTime, 0, QStringLiteral("Datum i vreme"), true);
    LedgerItemZQledgernumber = add("ledgernumber", T::String, 30, QStringLiteral("Delovodni broj"), true);
    LedgerItemZQpartnerid = add("partnerid", T::Largeint, 0, QStringLiteral("Partner"));
    LedgerItemZQdocumentid = add("documentid", T::Largeint, 0, QStringLiteral("Dokument"));
    LedgerItemZQitemtype = add("itemtype", T::String, 100, QStringLiteral("Vrsta dokumenta"), true);
    LedgerItemZQitemnumber = add("itemnumber", T::String, 30, QStringLiteral("Broj dokumenta"));
    LedgerItemZQitemdate = add("itemdate", T::Date, 0, QStringLiteral("Datum dokumenta"));
    LedgerItemZQparentid = add("parentid", T::Largeint, 0, QString());
    LedgerItemZQinmailtype = add("inmailtype", T::Smallint, 0, QString());
    LedgerItemZQinmailnumber = add("inmailnumber", T::String, 50, QStringLiteral("Primljeno reg. br."));
    LedgerItemZQoutmailtype = add("outmailtype", T::Smallint, 0, QString());
    LedgerItemZQoutmailnumber = add("outmailnumber", T::String, 50, QStringLiteral("Predato reg. br."));
    LedgerItemZQinuserid = add("inuserid", T::Largeint, 0, QString());
    LedgerItemZQuserid = add("userid", T::Largeint, 0, QStringLiteral("Korisnik"), true);
    LedgerItemZQoutuserid = add("outuserid", T::Largeint, 0, QString());
    LedgerItemZQaccepted = add("accepted", T::Boolean, 0, QStringLiteral("Prihvaćen"));
    LedgerItemZQarchived = add("archived", T::Boolean, 0, QStringLiteral("Arhivirano"));
    LedgerItemZQarchivednumber = add("archivednumber", T::String, 50, QStringLiteral("Arhivirano reg. br."));
    LedgerItemZQpassonparentid = add("passonparentid", T::Largeint, 0, QString());
    LedgerItemZQlinkedto = add("linkedto", T::String, 30, QString());
    LedgerItemZQpartnername = add("partnername", T::String, 100, QStringLiteral("Partner"));
    LedgerItemZQdocumentnumber = add("documentnumber", T::String, 30, QStringLiteral("Dokument"));
    LedgerItemZQinusername = add("inusername", T::String, 101, QStringLiteral("Upućeno od"));
    LedgerItemZQusername = add("username", T::String, 101, QStringLiteral("Korisnik"));
    LedgerItemZQoutusername = add("outusername", T::String, 101, QStringLiteral("Namenjeno"));

    using namespace std::placeholders;
    LedgerItemZQ->BeforePost = [this](TDataSet &ds) { CommonBeforePost(ds); };
    LedgerItemZQ->BeforeDelete = [this](TDataSet &ds) { LedgerItemZQBeforeDelete(ds); };
    LedgerItemZQ->AfterPost = [this](TDataSet &ds) { LedgerItemZQAfterPost(ds); };
    LedgerItemZQ->AfterDelete = [this](TDataSet &ds) { LedgerItemZQAfterDelete(ds); };
    LedgerItemZQ->OnDeleteCheck = [this](TZConnection &c, const QVariant &key) { LedgerItemZQDeleteCheck(c, key); };
    // Every write of an item leaves its history entry in the write's own transaction.
    LedgerItemZQ->OnJournal = [](TZConnection &c, TZQuery::TWriteKind kind, const QVariant &key,
                                 const std::vector<TField *> &changed) {
        JournalLedgerItemWrite(c, kind, key, changed, CurrentHistoryActor());
    };
    LedgerItemZQ->OnNewRecord = [this](TDataSet &ds) { LedgerItemZQNewRecord(ds); };
    LedgerItemZQ->OnPostError = [this](TDataSet &ds, const EDatabaseError &e) { LedgerItemZQPostError(ds, e); };
    LedgerItemZQdirection->OnGetText = std::bind(&TLedgerDM::LedgerItemZQdirectionGetText, this, _1, _2, _3);
    LedgerItemZQdirection->OnSetText = std::bind(&TLedgerDM::LedgerItemZQdirectionSetText, this, _1, _2);
    LedgerItemZQaccepted->OnGetText = std::bind(&TLedgerDM::LedgerItemZQacceptedGetText, this, _1, _2, _3);
    LedgerItemZQaccepted->OnSetText = std::bind(&TLedgerDM::LedgerItemZQacceptedSetText, this, _1, _2);
    LedgerItemZQinmailtype->OnGetText = std::bind(&TLedgerDM::LedgerItemZQinmailtypeGetText, this, _1, _2, _3);
    LedgerItemZQinmailtype->OnSetText = std::bind(&TLedgerDM::LedgerItemZQinmailtypeSetText, this, _1, _2);
    LedgerItemZQoutmailtype->OnGetText = std::bind(&TLedgerDM::LedgerItemZQoutmailtypeGetText, this, _1, _2, _3);
    LedgerItemZQoutmailtype->OnSetText = std::bind(&TLedgerDM::LedgerItemZQoutmailtypeSetText, this, _1, _2);

    LedgerItemDS = new TDataSource(this);
    LedgerItemDS->setObjectName(QStringLiteral("LedgerItemDS"));
    LedgerItemDS->SetDataSet(LedgerItemZQ);
}

void TLedgerDM::DataModuleCreate()
{
    TCustomDM::DataModuleCreate();
    FValidator = std::make_unique<TValidator>(FFieldValidations);
}

void TLedgerDM::CreateFieldValidations()
{
    FFieldValidations.clear();
    FFieldValidations.reserve(5);
    const QString req = _CMN_FIELD_REQUIRED_ERR;
    const QString inv = _CMN_FIELD_INVALIDE_ERR;
    FFieldValidations.push_back(FieldValidation(LedgerItemZQdirection, true, nullptr, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQledgerdatetime, true, TestDate, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQledgernumber, true, TestLedgerNumber, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQitemtype, true, TestZeroLength, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQitemdate, false, TestDate, req, inv));
}

// ---- Conditions and user -----------------------------------------------------------

QString TLedgerDM::LedgerItemChangeSQLCondition(const QString &condition) const
{
    return ChangeSQLCondition(LedgerItemZQ->SQL(), condition);
}

int TLedgerDM::GetUserID() const
{
    if (!GlobalConsole)
        return -1;
    IRef<ISecurity> security = GlobalConsole->service<ISecurity>();
    if (!security)
        return -1;
    TUserDesc user;
    if (!security->GetCurrentUser(user, 0))
        return -1;
    return user.UserID;
}

// ---- Numbering and new items -----------------------------------------------------------

int TLedgerDM::GetLedgerIndex(const QDateTime &dateTime, int direction)
{
    TZReadOnlyQuery query(&Connection(),
                          QStringLiteral("SELECT COUNT(ledgeritemid) AS ledgercount FROM ledgeritem WHERE passonparentid IS NULL "
                                         "AND NOT (ledgernumber LIKE '%-%') AND ledgerdatetime >= ? AND direction = ?"),
                          {dateTime.toString(QStringLiteral("yyyy")) + QStringLiteral("-01-01"), direction});
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
    throw KException(QStringLiteral("Slobodan delovodni broj nije pronađen."));
}

void TLedgerDM::LedgerItemZQNewRecord(TDataSet &)
{
    LedgerItemZQdirection->SetAsInteger(1);
    const QDateTime now = TClock::Now();
    LedgerItemZQledgerdatetime->SetAsDateTime(now.addMSecs(-now.time().msec()));
    const QDateTime when = LedgerItemZQledgerdatetime->AsDateTime();
    LedgerItemZQledgernumber->SetAsString(NextLedgerNumber(when, LedgerItemZQdirection->AsInteger()));
    LedgerItemZQaccepted->SetAsBoolean(false);
    LedgerItemZQarchived->SetAsBoolean(false);

    IRef<ISecurity> security = ConsoleService<ISecurity>();
    if (!security)
        throw KException(FormatStr(_CMN_NO_MODULE, {_CMN_MOD_SECURITY_NAME}));
    TUserDesc user;
    if (security->GetCurrentUser(user, 0)) {
        const QString name = user.FirstName + u' ' + user.LastName;
        LedgerItemZQinuserid->SetAsLargeInt(user.UserID);
        LedgerItemZQinusername->SetAsString(name);
        LedgerItemZQuserid->SetAsLargeInt(user.UserID);
        LedgerItemZQusername->SetAsString(name);
    }
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

void TLedgerDM::LedgerItemZQPostError(TDataSet &, const EDatabaseError &error)
{
    // Two desks counted the same number: the schema's unique key refuses the
    // later post, which the user sees as the ledger-number rule.
    // The key is the database's own, so the number is the only unique value
    // a post can repeat.
    if (IsUniqueViolation(error))
        throw KException(FormatStr(_CMN_FIELD_INVALIDE_ERR, {LedgerItemZQledgernumber->DisplayLabel()}));
}

void TLedgerDM::LedgerItemZQBeforeDelete(TDataSet &dataSet)
{
    {
        TZReadOnlyQuery children(&Connection(), QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE parentid = ?"),
                                 {LedgerItemZQledgeritemid->AsLargeInt()});
        children.Open();
        if (!children.IsEmpty())
            throw KException(_LEDGER_PASSON_ERR);
    }
    const int user = GetUserID();
    if (user != LedgerItemZQinuserid->AsInteger() && user != LedgerItemZQuserid->AsInteger())
        throw KException(_LEDGER_DEL_ERR);
    if (LedgerItemZQaccepted->AsBoolean())
        throw KException(_LEDGER_DEL_ERR);
    CommonBeforeDelete(dataSet);
    FDeletingNumber = LedgerItemZQledgernumber->AsString();
}

namespace {
void showStatus(const QString &text)
{
    if (const IRef<IStatusBar> bar = ConsoleService<IStatusBar>())
        bar->ShowStatusMessage(text, 5000);
}
} // namespace

void TLedgerDM::LedgerItemZQAfterPost(TDataSet &)
{
    showStatus(QStringLiteral("Sačuvano: %1").arg(LedgerItemZQledgernumber->AsString()));
}

void TLedgerDM::LedgerItemZQAfterDelete(TDataSet &)
{
    showStatus(QStringLiteral("Obrisano: %1").arg(std::exchange(FDeletingNumber, QString())));
}

// The rules again, on the row as stored now and held until the delete: the
// list may show an item that another desk has accepted, taken over or given
// an enclosure since.
void TLedgerDM::LedgerItemZQDeleteCheck(TZConnection &connection, const QVariant &key)
{
    if (connection.OpenQuery(QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE parentid = ?"), {key})->next())
        throw KException(_LEDGER_PASSON_ERR);
    auto stored = connection.OpenQuery(
        QStringLiteral("SELECT inuserid, userid, accepted FROM ledgeritem WHERE ledgeritemid = ?"), {key});
    if (!stored->next())
        throw EStaleRow(QStringLiteral("Stavka nije izbrisana: u međuvremenu je izbrisana na drugom mestu."));
    const bool same = stored->value(0).toLongLong() == LedgerItemZQinuserid->AsLargeInt()
        && stored->value(1).toLongLong() == LedgerItemZQuserid->AsLargeInt()
        && (stored->value(2).toString() == TField::EncodeFlag(true)) == LedgerItemZQaccepted->AsBoolean();
    if (!same)
        throw EStaleRow(QStringLiteral("Stavka nije izbrisana: u međuvremenu je promenjena na drugom mestu. "
                                       "Lista je osvežena."));
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
    // The copy and its history entry stand or fall together.
    std::optional<TZTransaction> transaction;
    if (!Connection().InTransaction())
        transaction.emplace(Connection());
    // Without a copy the connection's last insert id would name some earlier row.
    if (CopyDataSet(QStringLiteral("ledgeritem"), QStringLiteral("ledgeritemid = ?"), assignments, QString(), {itemID}) == 0)
        return 0;
    const qint64 newID = GetLastInsertID();
    JournalLedgerItemCopy(Connection(), newID, CurrentHistoryActor());
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

QString TLedgerDM::GetScannedDocumentFilePath()
{
    QString result;
    TIniFile ini(ApplicationIniFileName());
    const QString def = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("scanned"));
    const QString dir = ini.Value(QStringLiteral("Document"), QStringLiteral("ScanDocDir"), def);
    if (QFileInfo(dir).isDir()) {
        result = dir;
    } else if (MessageDlg(_SCAN_DOC_DIR_WRN, TMsgDlgType::Warning, mbYes | mbNo) == mbYes) {
        if (!QDir().mkpath(dir)) {
            MessageDlg(QStringLiteral("Folder %1 nije napravljen: nema prava upisa ili putanja nije ispravna.")
                           .arg(QDir::toNativeSeparators(dir)),
                       TMsgDlgType::Error, mbOK);
            return result;
        }
        result = dir;
    } else {
        const QString chosen = BrowseDialog(_SCAN_DOC_DIR_TITLE, 0);
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
