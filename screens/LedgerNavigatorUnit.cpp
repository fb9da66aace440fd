#include "LedgerNavigatorUnit.h"

#include "CommonStrings.h"
#include "Dialogs.h"
#include "ValueListEditor.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "integration/GlobalConsole.h"
#include "integration/LedgerResourceString.h"

#include <QDate>

namespace {

const QString kDirection = QStringLiteral("direction");
const QString kLedgerNumber = QStringLiteral("ledgernumber");
const QString kDateFrom = QStringLiteral("datefrom");
const QString kDateTo = QStringLiteral("dateto");
const QString kPartner = QStringLiteral("partner");
const QString kItemNumber = QStringLiteral("itemnumber");
const QString kInUser = QStringLiteral("inuser");
const QString kOutUser = QStringLiteral("outuser");
const QString kAccepted = QStringLiteral("accepted");
const QString kArchived = QStringLiteral("archived");
const QString kPassedOn = QStringLiteral("passedon");

bool isUserRow(const QString &key)
{
    return key == kInUser || key == kOutUser;
}

} // namespace

TLedgerNavigatorForm::TLedgerNavigatorForm(QWidget *owner) : TCustomNavigatorForm(owner)
{
    setObjectName(QStringLiteral("LedgerNavigatorForm"));
    SearchVLE->OnKeyPress = [this](QChar &key) { SearchVLEKeyPress(key); };
    // The editor emits it inside its own guard.
    connect(SearchVLE, &TValueListEditor::editButtonClicked, this, [this] { SearchVLEEditButtonClick(); });
    // Once only: every run appends the pick lists again.
    SetSearchProps();
}

TLedgerNavigatorForm::~TLedgerNavigatorForm() = default;

void TLedgerNavigatorForm::SetSearchProps()
{
    struct Row
    {
        const QString &Key;
        const QString &Caption;
        TEditStyle Style;
        QStringList PickList;
    };
    const Row rows[] = {
        {kDirection, _LEDGER_TYPE, TEditStyle::Simple, {_LEDGER_INPUT_TYPE, _LEDGER_INTERNAL_TYPE, _LEDGER_OUTPUT_TYPE}},
        {kLedgerNumber, _LEDGER_NUMBER, TEditStyle::Simple, {}},
        {kDateFrom, _LEDGER_DATE_FROM, TEditStyle::Ellipsis, {}},
        {kDateTo, _LEDGER_DATE_TO, TEditStyle::Ellipsis, {}},
        {kPartner, _LEDGER_PARTNER, TEditStyle::Ellipsis, {}},
        {kItemNumber, _LEDGER_ITEM_NUMBER, TEditStyle::Simple, {}},
        {kInUser, _LEDGER_IN_USER, TEditStyle::Ellipsis, {}},
        {kOutUser, _LEDGER_OUT_USER, TEditStyle::Ellipsis, {}},
        {kAccepted, _LEDGER_ACCEPTED, TEditStyle::Simple, {_YES_CAP, _NO_CAP}},
        {kArchived, _LEDGER_ARCHIVED, TEditStyle::Simple, {_YES_CAP, _NO_CAP}},
        {kPassedOn, _LEDGER_PASSEDON, TEditStyle::Simple, {_YES_CAP, _NO_CAP}},
    };
    for (const Row &row : rows) {
        SearchVLE->AddRow(row.Key, row.Caption);
        TItemProp &props = SearchVLE->ItemProps(row.Key);
        props.EditStyle = row.Style;
        props.PickList << row.PickList;
    }
    TCustomNavigatorForm::SetSearchProps();
}

QString TLedgerNavigatorForm::ParseSQL()
{
    QStringList conditions;
    // MariaDB keeps the backslash as LIKE's escape character even with
    // NO_BACKSLASH_ESCAPES; doubled there, a typed backslash matches itself.
    const TZConnection *connection = LedgerDM->ZConnection();
    const bool escapingLike = connection && connection->Backend() == TBackend::MySQL;
    const auto likePrefix = [escapingLike](const QString &column, QString value) {
        if (escapingLike)
            value.replace(u'\\', QStringLiteral("\\\\"));
        // % and _ typed by the user keep their wildcard meaning.
        return column + QStringLiteral(" LIKE ") + QuotedStr(value + u'%');
    };
    const auto flag = [](const QString &column, const QString &value) {
        return column + (value == _YES_CAP ? QStringLiteral(" = 'y'") : QStringLiteral(" = 'n'"));
    };
    for (const QString &key : SearchVLE->Keys()) {
        const QString value = SearchVLE->Value(key);
        if (value.isEmpty())
            continue;
        if (key == kDirection)
            conditions << QStringLiteral("l.direction = %1").arg(LedgerDM->GetDirection(value));
        else if (key == kLedgerNumber)
            conditions << likePrefix(QStringLiteral("l.ledgernumber"), value);
        else if (key == kDateFrom)
            conditions << QStringLiteral("l.ledgerdatetime >= ") + QuotedStr(value + QStringLiteral(" 00:00:00"));
        else if (key == kDateTo)
            conditions << QStringLiteral("l.ledgerdatetime <= ") + QuotedStr(value + QStringLiteral(" 23:59:59"));
        else if (key == kPartner)
            conditions << likePrefix(QStringLiteral("p.name"), value);
        else if (key == kItemNumber)
            conditions << likePrefix(QStringLiteral("l.itemnumber"), value);
        // A user cell holds a picked name; the id picked with it is what counts.
        else if (key == kInUser && FInUserID > 0)
            conditions << QStringLiteral("l.inuserid = %1").arg(FInUserID);
        else if (key == kOutUser && FOutUserID > 0)
            conditions << QStringLiteral("l.outuserid = %1").arg(FOutUserID);
        else if (key == kAccepted)
            conditions << flag(QStringLiteral("l.accepted"), value);
        else if (key == kArchived)
            conditions << flag(QStringLiteral("l.archived"), value);
        else if (key == kPassedOn)
            conditions << (value == _YES_CAP ? QStringLiteral("NOT(l1.passonparentid IS NULL)")
                                             : QStringLiteral("l1.passonparentid IS NULL"));
    }
    return LedgerDM->LedgerItemChangeSQLCondition(conditions.join(QStringLiteral(" AND ")));
}

void TLedgerNavigatorForm::FindButtonClick()
{
    TCustomNavigatorForm::FindButtonClick();
    TZQuery *query = LedgerDM->LedgerItemZQ;
    query->Close();
    const QString sql = ParseSQL();
    query->SetSQL(sql);
    query->Open();
    query->SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
    query->First();
}

void TLedgerNavigatorForm::SearchVLEKeyDown(int &key, Qt::KeyboardModifiers modifiers)
{
    TCustomNavigatorForm::SearchVLEKeyDown(key, modifiers);
}

void TLedgerNavigatorForm::SearchVLEEditButtonClick()
{
    const QString key = SearchVLE->CurrentKey();
    if (key == kDateFrom || key == kDateTo) {
        QDate date = QDate::currentDate();
        if (Dialogs().GetDate(date))
            SearchVLE->SetValue(key, date.toString(QStringLiteral("yyyy-MM-dd")));
    } else if (key == kPartner) {
        const IRef<IPartner> partners = GlobalConsole ? GlobalConsole->service<IPartner>() : IRef<IPartner>();
        TPartnerDesc partner;
        if (partners && partners->SelectPartner(partner))
            SearchVLE->SetValue(key, partner.Name);
    } else if (isUserRow(key)) {
        const IRef<ISecurity> security = GlobalConsole ? GlobalConsole->service<ISecurity>() : IRef<ISecurity>();
        TUserDesc user;
        if (security && security->SelectUser(user)) {
            SearchVLE->SetValue(key, user.FirstName + u' ' + user.LastName);
            (key == kInUser ? FInUserID : FOutUserID) = user.UserID;
        }
    }
}

void TLedgerNavigatorForm::SearchVLEKeyPress(QChar &key)
{
    if (isUserRow(SearchVLE->CurrentKey()))
        key = QChar();
}
