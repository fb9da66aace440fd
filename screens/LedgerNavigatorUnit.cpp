#include "LedgerNavigatorUnit.h"

#include "CommonStrings.h"
#include "Dialogs.h"
#include "FieldType.h"
#include "Help.h"
#include "KException.h"
#include "ValueListEditor.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "integration/GlobalConsole.h"
#include "integration/LedgerResourceString.h"
#include "screens/LedgerHelpContexts.h"

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
    SetHelpContext(this, LedgerSearchHelp);
    SearchVLE->OnKeyPress = [this](QChar &key) { SearchVLEKeyPress(key); };
    // The editor emits it inside its own guard.
    connect(SearchVLE, &TValueListEditor::editButtonClicked, this, [this] { SearchVLEEditButtonClick(); });
    // A cleared user row leaves no picked id behind.
    connect(SearchVLE, &TValueListEditor::valueCleared, this, [this](const QString &key) {
        if (key == kInUser)
            FInUserID = 0;
        else if (key == kOutUser)
            FOutUserID = 0;
    });
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
        props.Clearable = row.Key == kPartner || isUserRow(row.Key);
    }
    TCustomNavigatorForm::SetSearchProps();
}

QString TLedgerNavigatorForm::ParseSQL(QVariantList &params)
{
    QStringList conditions;
    params.clear();
    const TZConnection *connection = LedgerDM->ZConnection();
    // Typed text is bound, never part of the statement.
    const auto bound = [&](const QString &condition, const QVariant &value) {
        conditions << condition;
        params << value;
    };
    const auto startsWith = [&](const QString &column, const QString &value) {
        if (connection)
            conditions << connection->PrefixCondition(column, value, params);
        else
            bound(column + QStringLiteral(" LIKE ?"), value + u'%');
    };
    const auto flag = [](const QString &column, const QString &value) {
        return column + (value == _YES_CAP ? QStringLiteral(" = 'y'") : QStringLiteral(" = 'n'"));
    };
    for (const QString &key : SearchVLE->Keys()) {
        const QString value = SearchVLE->Value(key);
        if (value.isEmpty())
            continue;
        if (const QString problem = connection ? connection->SearchTextProblem(value) : QString(); !problem.isEmpty())
            throw KException(QStringLiteral("Polje '%1' %2").arg(SearchVLE->ItemProps(key).Caption, problem));
        if (key == kDirection)
            bound(QStringLiteral("l.direction = ?"), LedgerDM->GetDirection(value));
        else if (key == kLedgerNumber)
            startsWith(QStringLiteral("l.ledgernumber"), value);
        else if (key == kDateFrom || key == kDateTo) {
            // Never a condition from text that is no date.
            const QDate day = ParseTypedDate(value);
            if (!day.isValid())
                throw KException(QStringLiteral("Polje '%1': '%2' nije datum (piše se npr. 01.11.2026).")
                                     .arg(SearchVLE->ItemProps(key).Caption, value));
            const QString text = TZConnection::DateText(day);
            if (key == kDateFrom)
                bound(QStringLiteral("l.ledgerdatetime >= ?"), TZConnection::DayStart(text));
            else
                bound(QStringLiteral("l.ledgerdatetime <= ?"), TZConnection::DayEnd(text));
        }
        else if (key == kPartner)
            startsWith(QStringLiteral("p.name"), value);
        else if (key == kItemNumber)
            startsWith(QStringLiteral("l.itemnumber"), value);
        // A user cell holds a picked name; the id picked with it is what counts.
        else if (key == kInUser && FInUserID > 0)
            bound(QStringLiteral("l.inuserid = ?"), FInUserID);
        else if (key == kOutUser && FOutUserID > 0)
            bound(QStringLiteral("l.outuserid = ?"), FOutUserID);
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
    // Built first: a refused cell leaves the list as it was.
    QVariantList params;
    const QString sql = ParseSQL(params);
    query->Close();
    query->SetSQL(sql, params);
    query->Open();
    query->SetSortedFields(QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC"));
    query->First();
}

// A user row holds a picked user: Delete and Backspace drop the pick whole.
void TLedgerNavigatorForm::SearchVLEKeyDown(int &key, Qt::KeyboardModifiers modifiers)
{
    const QString row = SearchVLE->CurrentKey();
    if (isUserRow(row) && (key == Qt::Key_Delete || key == Qt::Key_Backspace)) {
        key = 0;
        SearchVLE->ClearValue(row);
        return;
    }
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
        const IRef<IPartner> partners = ConsoleService<IPartner>();
        TPartnerDesc partner;
        if (partners && partners->SelectPartner(partner))
            SearchVLE->SetValue(key, partner.Name);
    } else if (isUserRow(key)) {
        const IRef<ISecurity> security = ConsoleService<ISecurity>();
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
