#include "LedgerItems.h"

#include "ClassificationPlan.h"
#include "Clock.h"
#include "CommonStrings.h"
#include "Dialogs.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ClosedYears.h"
#include "LedgerDMUnit.h"
#include "LedgerHistory.h"
#include "SqlText.h"
#include "SubjectWords.h"
#include "ZConnection.h"
#include "LedgerResourceString.h"
#include "LedgerStorno.h"
#include "LedgerYearRule.h"

#include <QSqlQuery>
#include <algorithm>
#include <functional>

TLedgerItems::TLedgerItems(TLedgerDM &dm, QObject *parent) : QObject(parent), m_dm(dm)
{
    setObjectName(QStringLiteral("LedgerItems"));
    createFields();
    bindEvents();
    CreateFieldValidations();
    FValidator = std::make_unique<TValidator>(FFieldValidations);
    connect(&dm, &TLedgerDM::ConnectionChanged, this, [this](TZConnection *c) { LedgerItemZQ->SetConnection(c); });
    // What another window stored or deleted shows here too.
    connect(&dm, &TLedgerDM::ItemStored, this, [this](qint64 id, const TLedgerItems *origin) {
        if (origin != this)
            RefreshItem(id);
    });
    connect(&dm, &TLedgerDM::ItemDeleted, this, [this](qint64 id, const TLedgerItems *origin) {
        if (origin != this && LedgerItemZQ->Active())
            LedgerItemZQ->RemoveRow(QVariant::fromValue(id));
    });
}

TLedgerItems::~TLedgerItems() = default;

void TLedgerItems::createFields()
{
    LedgerItemZQ = new TZQuery(this);
    LedgerItemZQ->setObjectName(QStringLiteral("LedgerItemZQ"));
    LedgerItemZQ->SetSQL(TLedgerDM::LedgerItemSQL);
    LedgerItemZQ->SetConnection(m_dm.ZConnection());
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
    LedgerItemZQdirection = add("direction", T::Smallint, 0, UiText(u"Tip"), true);
    LedgerItemZQledgerdatetime = add("ledgerdatetime", T::DateTime, 0, UiText(u"Datum i vreme"), true);
    LedgerItemZQledgernumber = add("ledgernumber", T::String, 30, UiText(u"Delovodni broj"), true);
    LedgerItemZQpartnerid = add("partnerid", T::Largeint, 0, UiText(u"Partner"));
    LedgerItemZQdocumentid = add("documentid", T::Largeint, 0, UiText(u"Dokument"));
    LedgerItemZQitemtype = add("itemtype", T::String, 100, UiText(u"Vrsta dokumenta"), true);
    LedgerItemZQitemnumber = add("itemnumber", T::String, 30, UiText(u"Broj dokumenta"));
    LedgerItemZQitemdate = add("itemdate", T::Date, 0, UiText(u"Datum dokumenta"));
    LedgerItemZQparentid = add("parentid", T::Largeint, 0, QString());
    LedgerItemZQinmailtype = add("inmailtype", T::Smallint, 0, QString());
    LedgerItemZQinmailnumber = add("inmailnumber", T::String, 50, UiText(u"Primljeno reg. br."));
    LedgerItemZQoutmailtype = add("outmailtype", T::Smallint, 0, QString());
    LedgerItemZQoutmailnumber = add("outmailnumber", T::String, 50, UiText(u"Predato reg. br."));
    LedgerItemZQinuserid = add("inuserid", T::Largeint, 0, QString());
    LedgerItemZQuserid = add("userid", T::Largeint, 0, UiText(u"Korisnik"), true);
    LedgerItemZQoutuserid = add("outuserid", T::Largeint, 0, QString());
    LedgerItemZQaccepted = add("accepted", T::Boolean, 0, UiText(u"Prihvaćen"));
    LedgerItemZQarchived = add("archived", T::Boolean, 0, UiText(u"Arhivirano"));
    LedgerItemZQarchivednumber = add("archivednumber", T::String, 50, UiText(u"Arhivirano reg. br."));
    LedgerItemZQpassonparentid = add("passonparentid", T::Largeint, 0, QString());
    LedgerItemZQsubject = add("subject", T::String, 500, UiText(u"Predmet"));
    LedgerItemZQclassification = add("classification", T::String, 30, UiText(u"Klasifikaciona oznaka"));
    LedgerItemZQorgunit = add("orgunit", T::String, 100, UiText(u"Organizaciona jedinica"));
    LedgerItemZQcancelled = add("cancelled", T::Boolean, 0, UiText(u"Stornirano"));
    LedgerItemZQcancelreason = add("cancelreason", T::String, 500, UiText(u"Razlog storniranja"));
    LedgerItemZQcancelledby = add("cancelledby", T::Largeint, 0, QString());
    LedgerItemZQcancelledat = add("cancelledat", T::DateTime, 0, UiText(u"Stornirano dana"));
    LedgerItemZQlinkedto = add("linkedto", T::String, 30, QString());
    LedgerItemZQpartnername = add("partnername", T::String, 100, UiText(u"Partner"));
    LedgerItemZQdocumentnumber = add("documentnumber", T::String, 30, UiText(u"Dokument"));
    LedgerItemZQinusername = add("inusername", T::String, 101, UiText(u"Upućeno od"));
    LedgerItemZQusername = add("username", T::String, 101, UiText(u"Korisnik"));
    LedgerItemZQoutusername = add("outusername", T::String, 101, UiText(u"Namenjeno"));

    LedgerItemDS = new TDataSource(this);
    LedgerItemDS->setObjectName(QStringLiteral("LedgerItemDS"));
    LedgerItemDS->SetDataSet(LedgerItemZQ);
}

void TLedgerItems::bindEvents()
{
    using namespace std::placeholders;
    LedgerItemZQ->BeforePost = [this](TDataSet &ds) { LedgerItemZQBeforePost(ds); };
    LedgerItemZQ->BeforeDelete = [this](TDataSet &ds) { LedgerItemZQBeforeDelete(ds); };
    LedgerItemZQ->AfterPost = [this](TDataSet &ds) { LedgerItemZQAfterPost(ds); };
    LedgerItemZQ->AfterDelete = [this](TDataSet &ds) { LedgerItemZQAfterDelete(ds); };
    LedgerItemZQ->OnDeleteCheck = [this](TZConnection &c, const QVariant &key) { LedgerItemZQDeleteCheck(c, key); };
    // Every write of an item leaves its history entry in the write's own transaction.
    LedgerItemZQ->OnJournal = [this](TZConnection &c, TZQuery::TWriteKind kind, const QVariant &key,
                                     const std::vector<TField *> &changed) {
        // The row is held: a storno another desk made since it was read shows here.
        if (kind == TZQuery::TWriteKind::Update)
            RefuseCancelledItem(c, key);
        JournalLedgerItemWrite(c, kind, key, changed, m_dm.HistoryActor());
        keepSubjectWords(c, kind, key, changed);
    };
    LedgerItemZQ->OnNewRecord = [this](TDataSet &ds) { LedgerItemZQNewRecord(ds); };
    LedgerItemZQ->OnPostError = [this](TDataSet &ds, const EDatabaseError &e) { LedgerItemZQPostError(ds, e); };
    LedgerItemZQdirection->OnGetText = std::bind(&TLedgerItems::LedgerItemZQdirectionGetText, this, _1, _2, _3);
    LedgerItemZQdirection->OnSetText = std::bind(&TLedgerItems::LedgerItemZQdirectionSetText, this, _1, _2);
    LedgerItemZQaccepted->OnGetText = std::bind(&TLedgerItems::LedgerItemZQacceptedGetText, this, _1, _2, _3);
    LedgerItemZQaccepted->OnSetText = std::bind(&TLedgerItems::LedgerItemZQacceptedSetText, this, _1, _2);
    LedgerItemZQinmailtype->OnGetText = std::bind(&TLedgerItems::LedgerItemZQinmailtypeGetText, this, _1, _2, _3);
    LedgerItemZQinmailtype->OnSetText = std::bind(&TLedgerItems::LedgerItemZQinmailtypeSetText, this, _1, _2);
    LedgerItemZQoutmailtype->OnGetText = std::bind(&TLedgerItems::LedgerItemZQoutmailtypeGetText, this, _1, _2, _3);
    LedgerItemZQoutmailtype->OnSetText = std::bind(&TLedgerItems::LedgerItemZQoutmailtypeSetText, this, _1, _2);
    LedgerItemZQcancelled->OnGetText = std::bind(&TLedgerItems::LedgerItemZQacceptedGetText, this, _1, _2, _3);
}

void TLedgerItems::CreateFieldValidations()
{
    FFieldValidations.clear();
    FFieldValidations.reserve(5);
    const QString req = UiText(_CMN_FIELD_REQUIRED_ERR);
    const QString inv = UiText(_CMN_FIELD_INVALIDE_ERR);
    FFieldValidations.push_back(FieldValidation(LedgerItemZQdirection, true, nullptr, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQledgerdatetime, true, TestDate, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQledgernumber, true, TestLedgerNumber, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQitemtype, true, TestZeroLength, req, inv));
    FFieldValidations.push_back(FieldValidation(LedgerItemZQitemdate, false, TestDate, req, inv));
    FFieldValidations.push_back(ClassificationValidation(
        LedgerItemZQclassification, [this] { return m_dm.ZConnection(); },
        [this] { return LedgerItemZQledgeritemid->AsLargeInt(); }));
}

// ---- Conditions ---------------------------------------------------------------------

namespace {

QString orderClause(const TLedgerItems::TTextRanking &ranking)
{
    return ranking.Order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + ranking.Order;
}

} // namespace

QString TLedgerItems::LedgerItemChangeSQLCondition(const QString &condition) const
{
    // A ranking's ORDER BY belongs to its own search only.
    QString sql = LedgerItemZQ->SQL();
    if (const QString order = orderClause(m_ranking); !order.isEmpty() && sql.endsWith(order))
        sql.chop(order.size());
    return ChangeSQLCondition(sql, condition);
}

void TLedgerItems::ShowCondition(const QString &condition, const QVariantList &params, const TTextRanking &ranking)
{
    if (LedgerItemZQ->Active())
        LedgerItemZQ->Close();
    const QString sql = LedgerItemChangeSQLCondition(condition);
    LedgerItemZQ->SetSQL(sql + orderClause(ranking), params + ranking.Params);
    m_ranking = ranking;
    m_condition = condition;
    m_conditionParams = params;
    LedgerItemZQ->Open();
    LedgerItemZQ->First();
}

bool TLedgerItems::OpenItem(qint64 id)
{
    ShowCondition(QStringLiteral("l.ledgeritemid = ?"), {id});
    return !LedgerItemZQ->IsEmpty();
}

void TLedgerItems::RefreshItem(qint64 id, bool always)
{
    TZQuery &q = *LedgerItemZQ;
    if (!q.Active() || q.State() != TDataSetState::Browse || id <= 0)
        return;
    const QVariantList byId{id};
    // A row held is shown as stored, whatever the condition says now.
    if (q.RefreshRow(LedgerItemChangeSQLCondition(QStringLiteral("l.ledgeritemid = ?")), byId, always))
        return;
    if (m_condition.isEmpty())
        return;
    QVariantList params = m_conditionParams;
    params << id;
    q.RefreshRow(LedgerItemChangeSQLCondition(u'(' + m_condition + QStringLiteral(") AND l.ledgeritemid = ?")), params,
                 true);
}

// The search's words follow the subject in the write's own transaction; a
// deleted item's words go with it (the table's foreign key).
void TLedgerItems::keepSubjectWords(TZConnection &connection, TZQuery::TWriteKind kind, const QVariant &key,
                                    const std::vector<TField *> &changed)
{
    const bool subjectChanged = std::find(changed.begin(), changed.end(), LedgerItemZQsubject) != changed.end();
    if (kind == TZQuery::TWriteKind::Insert || (kind == TZQuery::TWriteKind::Update && subjectChanged))
        StoreSubjectWords(connection, key.toLongLong(), LedgerItemZQsubject->AsString());
}

// ---- Captions of the coded columns -------------------------------------------------------

void TLedgerItems::LedgerItemZQdirectionGetText(TField &sender, QString &text, bool)
{
    text = ShownCaption(GetDirectionCaption(sender.AsInteger()));
}

void TLedgerItems::LedgerItemZQdirectionSetText(TField &sender, const QString &text)
{
    sender.SetAsInteger(m_dm.GetDirection(text));
}

void TLedgerItems::LedgerItemZQinmailtypeGetText(TField &sender, QString &text, bool)
{
    text = sender.IsNull() ? QString() : ShownCaption(GetMailTypeCaption(sender.AsInteger()));
}

void TLedgerItems::LedgerItemZQinmailtypeSetText(TField &sender, const QString &text)
{
    sender.SetAsInteger(GetMailType(text));
}

void TLedgerItems::LedgerItemZQoutmailtypeGetText(TField &sender, QString &text, bool)
{
    text = sender.IsNull() ? QString() : ShownCaption(GetMailTypeCaption(sender.AsInteger()));
}

void TLedgerItems::LedgerItemZQoutmailtypeSetText(TField &sender, const QString &text)
{
    sender.SetAsInteger(GetMailType(text));
}

void TLedgerItems::LedgerItemZQacceptedGetText(TField &sender, QString &text, bool)
{
    text = ShownCaption(sender.AsBoolean() ? _YES_CAP : _NO_CAP);
}

void TLedgerItems::LedgerItemZQacceptedSetText(TField &sender, const QString &text)
{
    sender.SetAsBoolean(text == _YES_CAP || text == ShownCaption(_YES_CAP));
}

// ---- New items, posts and deletes ---------------------------------------------------------

void TLedgerItems::LedgerItemZQNewRecord(TDataSet &)
{
    LedgerItemZQdirection->SetAsInteger(1);
    const QDateTime now = TClock::Now();
    LedgerItemZQledgerdatetime->SetAsDateTime(now.addMSecs(-now.time().msec()));
    const QDateTime when = LedgerItemZQledgerdatetime->AsDateTime();
    LedgerItemZQledgernumber->SetAsString(m_dm.NextLedgerNumber(when, LedgerItemZQdirection->AsInteger()));
    LedgerItemZQaccepted->SetAsBoolean(false);
    LedgerItemZQarchived->SetAsBoolean(false);
    LedgerItemZQcancelled->SetAsBoolean(false);

    const ILedgerContext *context = m_dm.Context();
    const IRef<ISecurity> security = context ? context->Service<ISecurity>() : IRef<ISecurity>();
    if (!security)
        throw KException(FormatStr(UiText(_CMN_NO_MODULE), {UiText(_CMN_MOD_SECURITY_NAME)}));
    TUserDesc user;
    if (security->GetCurrentUser(user, 0)) {
        const QString name = user.FirstName + u' ' + user.LastName;
        LedgerItemZQinuserid->SetAsLargeInt(user.UserID);
        LedgerItemZQinusername->SetAsString(name);
        LedgerItemZQuserid->SetAsLargeInt(user.UserID);
        LedgerItemZQusername->SetAsString(name);
    }
}

void TLedgerItems::LedgerItemZQBeforePost(TDataSet &dataSet)
{
    // A closed year's item is said so before any write; the edit stays.
    if (TZConnection *connection = m_dm.ZConnection()) {
        if (LedgerItemZQ->State() == TDataSetState::Edit)
            CheckItemYearOpen(*connection, LedgerItemZQledgeritemid->AsLargeInt());
        CheckYearsOpen(*connection, {LedgerItemZQledgerdatetime->AsDateTime()});
    }
    if (LedgerItemZQcancelled->AsBoolean())
        throw KException(CancelledItemMessage(LedgerItemZQledgernumber->AsString()));
    FValidator->Validate();
    // Checked when the number or the date is written: an older item that
    // breaks the rule can still be changed otherwise.
    const bool inserting = dataSet.State() == TDataSetState::Insert;
    const auto written = [&](const TField *field) { return inserting || LedgerItemZQ->OldValue(*field) != field->Value(); };
    const QDateTime when = LedgerItemZQledgerdatetime->AsDateTime();
    if (LedgerItemZQpassonparentid->IsNull() && (written(LedgerItemZQledgernumber)
                                                   || written(LedgerItemZQledgerdatetime)))
        if (const QString refusal = NumberYearRefusal(LedgerItemZQledgernumber->AsString(), when); !refusal.isEmpty())
            throw KException(refusal);
    if (written(LedgerItemZQledgerdatetime) && IsFarFuture(when, TClock::Now())
        && MessageDlg(FutureDateQuestion(when), TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo) != mbYes)
        throw EAbort();
}

void TLedgerItems::LedgerItemZQPostError(TDataSet &, const EDatabaseError &error)
{
    // Two desks counted the same number: the schema's unique key refuses the
    // later post, which the user sees as the ledger-number rule.
    // The key is the database's own, so the number is the only unique value
    // a post can repeat.
    // A year closed meanwhile on another desk: named by the stored date or the new one.
    if (TZConnection *connection = m_dm.ZConnection(); connection && ClosedYearRefusal(error)) {
        if (LedgerItemZQ->State() == TDataSetState::Edit)
            CheckItemYearOpen(*connection, LedgerItemZQledgeritemid->AsLargeInt());
        ThrowIfClosedYearRefusal(*connection, error, {LedgerItemZQledgerdatetime->AsDateTime()});
    }
    if (IsUniqueViolation(error))
        throw KException(FormatStr(UiText(_CMN_FIELD_INVALIDE_ERR), {LedgerItemZQledgernumber->DisplayLabel()}));
    if (IsCancelledRowRefusal(error))
        throw KException(CancelledItemMessage(LedgerItemZQledgernumber->AsString()));
}

void TLedgerItems::LedgerItemZQBeforeDelete(TDataSet &)
{
    if (TZConnection *connection = m_dm.ZConnection())
        CheckYearsOpen(*connection, {LedgerItemZQledgerdatetime->AsDateTime()});
    if (LedgerItemZQcancelled->AsBoolean())
        throw KException(CancelledItemMessage(LedgerItemZQledgernumber->AsString()));
    {
        TZReadOnlyQuery children(m_dm.ZConnection(), QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE parentid = ?"),
                                 {LedgerItemZQledgeritemid->AsLargeInt()});
        children.Open();
        if (!children.IsEmpty())
            throw KException(UiText(_LEDGER_PASSON_ERR));
    }
    const int user = m_dm.GetUserID();
    if (user != LedgerItemZQinuserid->AsInteger() && user != LedgerItemZQuserid->AsInteger())
        throw KException(UiText(_LEDGER_DEL_ERR));
    if (LedgerItemZQaccepted->AsBoolean())
        throw KException(UiText(_LEDGER_DEL_ERR));
    // A registered number that goes leaves a gap in the book: say which one.
    const QString number = LedgerItemZQledgernumber->AsString();
    m_dm.ConfirmDelete(UiText(u"Obrisati stavku %1 (%2, %3)?\nBroj %1 će nedostajati u delovodniku.")
                           .arg(number, LedgerItemZQdirection->DisplayText(), LedgerItemZQitemtype->AsString()));
    FDeletingNumber = LedgerItemZQledgernumber->AsString();
    FDeletingID = LedgerItemZQledgeritemid->AsLargeInt();
}

void TLedgerItems::LedgerItemZQAfterPost(TDataSet &)
{
    m_dm.ShowStatus(UiText(u"Sačuvano: %1").arg(LedgerItemZQledgernumber->AsString()));
    emit m_dm.ItemStored(LedgerItemZQledgeritemid->AsLargeInt(), this);
}

void TLedgerItems::LedgerItemZQAfterDelete(TDataSet &)
{
    m_dm.ShowStatus(UiText(u"Obrisano: %1").arg(std::exchange(FDeletingNumber, QString())));
    emit m_dm.ItemDeleted(std::exchange(FDeletingID, 0), this);
}

// The rules again, on the row as stored now and held until the delete: the
// list may show an item that another desk has accepted, taken over or given
// an enclosure since.
void TLedgerItems::LedgerItemZQDeleteCheck(TZConnection &connection, const QVariant &key)
{
    CheckItemYearOpen(connection, key.toLongLong());
    RefuseCancelledItem(connection, key);
    if (connection.OpenQuery(QStringLiteral("SELECT ledgeritemid FROM ledgeritem WHERE parentid = ?"), {key})->next())
        throw KException(UiText(_LEDGER_PASSON_ERR));
    auto stored = connection.OpenQuery(
        QStringLiteral("SELECT inuserid, userid, accepted FROM ledgeritem WHERE ledgeritemid = ?"), {key});
    if (!stored->next())
        throw EStaleRow(UiText(u"Stavka nije izbrisana: u međuvremenu je izbrisana na drugom mestu."));
    const bool same = stored->value(0).toLongLong() == LedgerItemZQinuserid->AsLargeInt()
        && stored->value(1).toLongLong() == LedgerItemZQuserid->AsLargeInt()
        && (stored->value(2).toString() == TField::EncodeFlag(true)) == LedgerItemZQaccepted->AsBoolean();
    if (!same)
        throw EStaleRow(UiText(u"Stavka nije izbrisana: u međuvremenu je promenjena na drugom mestu. "
                                       u"Lista je osvežena."));
}
