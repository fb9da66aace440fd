#include "LedgerNavigatorUnit.h"

#include "CommonStrings.h"
#include "Dialogs.h"
#include "FieldType.h"
#include "Help.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ValueListEditor.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSearchCriteria.h"
#include "data/LedgerResourceString.h"
#include "screens/LedgerHelpContexts.h"

#include <QDate>

namespace {

const QString &kDirection = TLedgerSearchCriteria::Direction;
const QString &kLedgerNumber = TLedgerSearchCriteria::LedgerNumber;
const QString &kDateFrom = TLedgerSearchCriteria::DateFrom;
const QString &kDateTo = TLedgerSearchCriteria::DateTo;
const QString &kPartner = TLedgerSearchCriteria::Partner;
const QString &kItemNumber = TLedgerSearchCriteria::ItemNumber;
const QString &kItemType = TLedgerSearchCriteria::ItemType;
const QString &kInUser = TLedgerSearchCriteria::InUser;
const QString &kOutUser = TLedgerSearchCriteria::OutUser;
const QString &kAccepted = TLedgerSearchCriteria::Accepted;
const QString &kArchived = TLedgerSearchCriteria::Archived;
const QString &kPassedOn = TLedgerSearchCriteria::PassedOn;
const QString &kSubject = TLedgerSearchCriteria::Subject;
const QString &kText = TLedgerSearchCriteria::Text;

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
        QString Caption;
        TEditStyle Style;
        QStringList PickList;
    };
    // Picked values as the list shows them; the criteria read either script.
    const QStringList directions{ShownCaption(_LEDGER_INPUT_TYPE), ShownCaption(_LEDGER_INTERNAL_TYPE),
                                 ShownCaption(_LEDGER_OUTPUT_TYPE)};
    const QStringList yesNo{ShownCaption(_YES_CAP), ShownCaption(_NO_CAP)};
    const Row rows[] = {
        {kDirection, UiText(_LEDGER_TYPE), TEditStyle::Simple, directions},
        {kLedgerNumber, UiText(_LEDGER_NUMBER), TEditStyle::Simple, {}},
        {kDateFrom, UiText(_LEDGER_DATE_FROM), TEditStyle::Ellipsis, {}},
        {kDateTo, UiText(_LEDGER_DATE_TO), TEditStyle::Ellipsis, {}},
        {kPartner, UiText(_LEDGER_PARTNER), TEditStyle::Ellipsis, {}},
        {kItemNumber, UiText(_LEDGER_ITEM_NUMBER), TEditStyle::Simple, {}},
        {kItemType, TLedgerSearchCriteria::Caption(kItemType), TEditStyle::Simple, {}},
        {kSubject, TLedgerSearchCriteria::Caption(kSubject), TEditStyle::Simple, {}},
        {kInUser, UiText(_LEDGER_IN_USER), TEditStyle::Ellipsis, {}},
        {kOutUser, UiText(_LEDGER_OUT_USER), TEditStyle::Ellipsis, {}},
        {kAccepted, UiText(_LEDGER_ACCEPTED), TEditStyle::Simple, yesNo},
        {kArchived, UiText(_LEDGER_ARCHIVED), TEditStyle::Simple, yesNo},
        {kPassedOn, UiText(_LEDGER_PASSEDON), TEditStyle::Simple, yesNo},
        {kText, TLedgerSearchCriteria::Caption(kText), TEditStyle::Simple, {}},
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

TLedgerSearchCriteria TLedgerNavigatorForm::searchCriteria() const
{
    TLedgerSearchCriteria criteria;
    for (const QString &key : SearchVLE->Keys())
        criteria.Texts.insert(key, SearchVLE->Value(key));
    criteria.InUserID = FInUserID;
    criteria.OutUserID = FOutUserID;
    return criteria;
}

QString TLedgerNavigatorForm::searchCondition(QVariantList &params) const
{
    return searchCriteria().Condition(LedgerDM->ZConnection(), params);
}

QString TLedgerNavigatorForm::ParseSQL(QVariantList &params)
{
    return LedgerDM->LedgerItemChangeSQLCondition(searchCondition(params));
}

void TLedgerNavigatorForm::FindButtonClick()
{
    TCustomNavigatorForm::FindButtonClick();
    TLedgerItems *items = FSearchTarget ? FSearchTarget() : nullptr;
    if (!items)
        return;
    // Built first: a refused cell leaves the list as it was.
    const TLedgerSearchCriteria criteria = searchCriteria();
    QVariantList params;
    TLedgerItems::TTextRanking ranking;
    const QString condition = criteria.Condition(LedgerDM->ZConnection(), params, &ranking.Order, &ranking.Params);
    const QString newestFirst = QStringLiteral("ledgerdatetime DESC, ledgeritemid DESC");
    if (ranking.Order.isEmpty()) {
        items->ShowCondition(condition, params);
        items->LedgerItemZQ->SetSortedFields(newestFirst);
    } else {
        // Ranked rows stay in the order they are read in.
        ranking.Typed = criteria.Texts.value(kText);
        items->LedgerItemZQ->SetSortedFields(QString());
        items->ShowCondition(condition, params, ranking);
    }
    items->LedgerItemZQ->First();
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
        const IRef<IPartner> partners = LedgerService<IPartner>();
        TPartnerDesc partner;
        if (partners && partners->SelectPartner(partner))
            SearchVLE->SetValue(key, partner.Name);
    } else if (isUserRow(key)) {
        const IRef<ISecurity> security = LedgerService<ISecurity>();
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
