#include "LedgerDetailUnit.h"

#include "CommonStrings.h"
#include "DBControls.h"
#include "Dialogs.h"
#include "Guard.h"
#include "Help.h"
#include "InterfaceScript.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerResourceString.h"
#include "screens/GetLedgerUnit.h"
#include "screens/ClassificationField.h"
#include "screens/LedgerItemTypeField.h"
#include "screens/OrgUnitField.h"
#include "screens/LedgerHistoryPage.h"
#include "screens/LedgerHelpContexts.h"
#include "screens/PartnerCompletion.h"

#include "ui_LedgerDetailUnit.h"

#include <QAction>
#include <algorithm>
#include <climits>
#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>

namespace {

bool editing(const TDataSet &ds)
{
    return ds.State() == TDataSetState::Edit || ds.State() == TDataSetState::Insert;
}

// A button shows its action's state and runs it when clicked.
void bindButton(QPushButton *button, QAction *action)
{
    const auto sync = [button, action] { button->setEnabled(action->isEnabled()); };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
}

// A field that cannot be typed into looks so: the button face, not white.
void lookReadOnly(TDBEdit *edit)
{
    edit->SetReadOnly(true);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    edit->setPalette(p);
}

} // namespace

TLedgerDetailForm::TLedgerDetailForm(QWidget *owner, std::unique_ptr<TLedgerItems> items)
    : TCustomDetailForm(owner), ui(std::make_unique<Ui_LedgerDetailForm>()), FItems(items.release())
{
    // A child after the page control: freed after the controls bound to it.
    FItems->setParent(this);
    setObjectName(QStringLiteral("LedgerDetailForm"));
    setWindowTitle(UiText(u"Delovodnik"));
    SetHelpContext(this, LedgerDetailHelp);
    setUpGeneralPage();

    TypeDBCB = ui->TypeDBCB;
    DatetimeDBE = ui->DatetimeDBE;
    DateTimeButton = ui->DateTimeButton;
    NumberDBE = ui->NumberDBE;
    DBEdit12 = ui->DBEdit12;
    LinkedToButton = ui->LinkedToButton;
    DBEdit3 = ui->DBEdit3;
    PartnerButton = ui->PartnerButton;
    ItemTypeDBCB = ui->ItemTypeDBCB;
    ItemDateDBE = ui->ItemDateDBE;
    ItemDateButton = ui->ItemDateButton;
    ItemNumberDBE = ui->ItemNumberDBE;
    DBEdit2 = ui->DBEdit2;
    Button5 = ui->Button5;
    ScannedDocumentButton = ui->ScannedDocumentButton;
    SubjectDBE = ui->SubjectDBE;
    ClassificationDBE = ui->ClassificationDBE;
    OrgUnitDBCB = ui->OrgUnitDBCB;
    InMailTypeDBCB = ui->InMailTypeDBCB;
    InMailNumberDBE = ui->InMailNumberDBE;
    DBEdit11 = ui->DBEdit11;
    InUserButton = ui->InUserButton;
    DBEdit4 = ui->DBEdit4;
    OutMailTypeDBCB = ui->OutMailTypeDBCB;
    OutMailNumberDBE = ui->OutMailNumberDBE;
    DBEdit10 = ui->DBEdit10;
    OutUserButton = ui->OutUserButton;
    DBCheckBox1 = ui->DBCheckBox1;
    DBCheckBox2 = ui->DBCheckBox2;
    DBEdit13 = ui->DBEdit13;
    DateTimeAction = ui->DateTimeAction;
    LinkToAction = ui->LinkToAction;
    PartnerAction = ui->PartnerAction;
    DocumentDateAction = ui->DocumentDateAction;
    DocumentAction = ui->DocumentAction;
    InUserAction = ui->InUserAction;
    OutUserAction = ui->OutUserAction;
    AdditionalItemAction = ui->AdditionalItemAction;
    PassOnAction = ui->PassOnAction;
    ScannedDocument = ui->ScannedDocument;

    layoutBottomPanel();
    addScanPage();
    addHistoryPage();
    bindControls();
    ItemTypeField = new TLedgerItemTypeField(ItemTypeDBCB, LedgerDM ? LedgerDM->Context() : nullptr);
    // The mark completes from the office's classification plan.
    if (LedgerDM && LedgerDM->ZConnection())
        AttachClassificationField(ClassificationDBE, FItems->LedgerItemZQclassification, *LedgerDM->ZConnection());
    makeClearActions();

    ConnectGuarded(DateTimeAction, [this] { DateTimeActionExecute(); });
    ConnectGuarded(DocumentDateAction, [this] { DocumentDateActionExecute(); });
    ConnectGuarded(PartnerAction, [this] { PartnerActionExecute(); });
    ConnectGuarded(DocumentAction, [this] { DocumentActionExecute(); });
    ConnectGuarded(InUserAction, [this] { InUserActionExecute(); });
    ConnectGuarded(OutUserAction, [this] { OutUserActionExecute(); });
    ConnectGuarded(LinkToAction, [this] { LinkToActionExecute(); });
    ConnectGuarded(AdditionalItemAction, [this] { AdditionalItemActionExecute(); });
    ConnectGuarded(PassOnAction, [this] { PassOnActionExecute(); });
    ConnectGuarded(ScannedDocument, [this] { ScannedDocumentExecute(); });
    addCancelling();
    connect(TypeDBCB, &TDBComboBox::userChanged, this, [this](int) { Guarded([this] { TypeDBCBChange(); }); });

    FormCreate();
    WatchDataSource(FItems->LedgerItemDS);
    TypeDBCB->setFocus();
}

TLedgerDetailForm::~TLedgerDetailForm() = default;

// The controls keep the places they were drawn at, in a scroll area that
// shows its bars only on a screen too small for the form (1024x700 at 150 %).
void TLedgerDetailForm::setUpGeneralPage()
{
    auto *fields = new QWidget;
    fields->setObjectName(QStringLiteral("GeneralFields"));
    ui->setupUi(fields);
    auto *scroll = new QScrollArea(GeneralTS);
    scroll->setObjectName(QStringLiteral("GeneralScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // Tab goes from field to field
    scroll->setWidget(fields);
    auto *page = new QVBoxLayout(GeneralTS);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(scroll);
}

// The page fills the client area (496 x 564) above a 34 high panel with the
// item's own buttons on the left and OK / Apply / Cancel on the right.
void TLedgerDetailForm::layoutBottomPanel()
{
    if (layout())
        layout()->setContentsMargins(0, 0, 0, 0);

    auto makeButton = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, BottomPanel);
        b->setObjectName(QString::fromLatin1(name));
        b->setFixedSize(75, 25);
        b->setAutoDefault(false);
        return b;
    };
    AdditionalItemButton = makeButton("AdditionalItemButton", UiText(u"Prilog"));
    PassOnButton = makeButton("PassOnButton", UiText(u"Predaj"));
    bindButton(AdditionalItemButton, AdditionalItemAction);
    bindButton(PassOnButton, PassOnAction);
    CancelItemAction = new QAction(UiText(u"Storniraj"), this);
    CancelItemAction->setObjectName(QStringLiteral("CancelItemAction"));
    CancelItemButton = makeButton("CancelItemButton", CancelItemAction->text());
    bindButton(CancelItemButton, CancelItemAction);
    if (auto *bottom = qobject_cast<QBoxLayout *>(BottomPanel->layout())) {
        bottom->setContentsMargins(0, 8, 9, 1);
        bottom->setSpacing(5);
        bottom->insertWidget(0, AdditionalItemButton);
        bottom->insertWidget(1, PassOnButton);
        bottom->insertWidget(2, CancelItemButton);
    }
    ReadOnlyLabel = new QLabel(this);
    ReadOnlyLabel->setObjectName(QStringLiteral("ReadOnlyLabel"));
    ReadOnlyLabel->setWordWrap(true);
    ReadOnlyLabel->setContentsMargins(8, 4, 8, 4);
    ReadOnlyLabel->setAutoFillBackground(true);
    QPalette p = ReadOnlyLabel->palette();
    p.setColor(QPalette::Window, QColor(255, 244, 206));
    ReadOnlyLabel->setPalette(p);
    ReadOnlyLabel->hide();
    if (auto *form = qobject_cast<QBoxLayout *>(layout()))
        form->insertWidget(0, ReadOnlyLabel);
    resize(496, 598);
    fitScreen(598);
}

// Only a screen lower than the page with its buttons makes the form lower
// (the title bar kept in sight): the page scrolls, the buttons stay.
void TLedgerDetailForm::fitScreen(int height)
{
    const QScreen *shown = screen();
    const int room = shown ? shown->availableGeometry().height() : height;
    resize(width(), room < 598 ? std::min(height, room - 40) : height);
}

void TLedgerDetailForm::bindControls()
{
    TDataSource *source = FItems->LedgerItemDS;
    // Each bound control names its column in the layout.
    for (TDBEdit *e : GeneralTS->findChildren<TDBEdit *>()) {
        e->SetDataSource(source);
        e->SetDataField(e->property("DataField").toString());
    }
    for (TDBComboBox *c : GeneralTS->findChildren<TDBComboBox *>()) {
        c->SetDataSource(source);
        c->SetDataField(c->property("DataField").toString());
    }
    for (TDBCheckBox *c : GeneralTS->findChildren<TDBCheckBox *>()) {
        c->SetDataSource(source);
        c->SetDataField(c->property("DataField").toString());
    }
    ItemTypeDBCB->SetStyle(TDBComboBox::TStyle::DropDown);
    // A subject pasted longer than the column is refused whole, never cut.
    SubjectDBE->SetStopAtSize(false);

    // Names and numbers looked up elsewhere are shown, never typed; the
    // partner is typed and chosen from its matches.
    for (TDBEdit *e : {DBEdit12, DBEdit2, DBEdit11, DBEdit4, DBEdit10})
        lookReadOnly(e);
    PartnerCompletion = new TPartnerCompletion(*DBEdit3, *FItems);
    DBEdit4->setFocusPolicy(Qt::ClickFocus);
    DBCheckBox1->setEnabled(false);

    for (QPushButton *b : GeneralTS->findChildren<QPushButton *>()) {
        const QString actionName = b->property("Action").toString();
        if (actionName.isEmpty())
            continue;
        if (auto *action = GeneralTS->findChild<QAction *>(actionName))
            bindButton(b, action);
    }
}

void TLedgerDetailForm::editIfBrowsing()
{
    TZQuery *query = FItems->LedgerItemZQ;
    if (query->State() == TDataSetState::Browse)
        query->Edit();
}

// ---- Opening --------------------------------------------------------------------

void TLedgerDetailForm::FormCreate()
{
    TLedgerDM &dm = *LedgerDM;
    FLedgerItemID = FItems->LedgerItemZQledgeritemid->AsInteger();
    FUserID = dm.GetUserID();
    FDirection = FItems->LedgerItemZQdirection->IsNull() ? INT_MIN : FItems->LedgerItemZQdirection->AsInteger();
    showLinkedTo();
    InitControls();
    SetActivity();
}

// The number of the item this one is linked to, in the display column: shown
// without starting an edit.
void TLedgerDetailForm::showLinkedTo()
{
    TLedgerDM &dm = *LedgerDM;
    TZReadOnlyQuery parent(dm.ZConnection(), QStringLiteral("SELECT * FROM ledgeritem WHERE ledgeritemid = ?"),
                           {FItems->LedgerItemZQparentid->AsLargeInt()});
    parent.Open();
    if (!parent.IsEmpty())
        FItems->LedgerItemZQlinkedto->SetAsString(parent.FieldByName(QStringLiteral("ledgernumber")).AsString());
}

void TLedgerDetailForm::InitControls()
{
    TLedgerDM &dm = *LedgerDM;
    auto select = [](TDBComboBox *combo, const QString &caption) {
        combo->setCurrentIndex(caption.isEmpty() ? -1 : combo->findText(caption, Qt::MatchExactly | Qt::MatchCaseSensitive));
    };

    TypeDBCB->SetItems(
        {ShownCaption(_LEDGER_INPUT_TYPE), ShownCaption(_LEDGER_OUTPUT_TYPE), ShownCaption(_LEDGER_INTERNAL_TYPE)});
    select(TypeDBCB, ShownCaption(GetDirectionCaption(FItems->LedgerItemZQdirection->AsInteger())));

    ItemTypeField->Fill([&dm] {
        QStringList inUse;
        dm.GetFieldValues(QStringLiteral("itemtype"), QStringLiteral("ledgeritem"), inUse, true, QString(), QString());
        return inUse;
    });

    QStringList mailTypes;
    for (const QString &caption :
         {_LEDGER_POST_TYPE, _LEDGER_INT_MAIL_TYPE, _LEDGER_MAIL_TYPE, _LEDGER_FAX_TYPE, _LEDGER_OPERATER_TYPE})
        mailTypes << ShownCaption(caption);
    InMailTypeDBCB->SetItems(mailTypes);
    select(InMailTypeDBCB, FItems->LedgerItemZQinmailtype->IsNull() ? QString()
                                                                : ShownCaption(GetMailTypeCaption(FItems->LedgerItemZQinmailtype->AsInteger())));
    // Units come from the office's list only (an item keeps its own, now inactive, one).
    if (dm.ZConnection())
        AttachOrgUnitField(OrgUnitDBCB, FItems->LedgerItemZQorgunit, *dm.ZConnection());
    OutMailTypeDBCB->SetItems(mailTypes);
    select(OutMailTypeDBCB, FItems->LedgerItemZQoutmailtype->IsNull()
                                ? QString()
                                : ShownCaption(GetMailTypeCaption(FItems->LedgerItemZQoutmailtype->AsInteger())));
}

QString TLedgerDetailForm::LockReason() const
{
    if (FItems->LedgerItemZQcancelled->AsBoolean())
        return UiText(u"stavka je stornirana.");
    if (FItems->LedgerItemZQaccepted->AsBoolean()) {
        const QString recipient = FItems->LedgerItemZQoutusername->AsString().trimmed();
        return recipient.isEmpty() ? UiText(u"stavka je prihvaćena.")
                                   : UiText(u"stavka je prihvaćena (primalac: %1).").arg(recipient);
    }
    if (FItems->LedgerItemZQinuserid->AsInteger() == FUserID || FItems->LedgerItemZQuserid->AsInteger() == FUserID)
        return {};
    if (FUserID <= 0)
        return UiText(u"niste prijavljeni kao korisnik.");
    const QString author = FItems->LedgerItemZQusername->AsString().trimmed();
    return author.isEmpty() ? UiText(u"stavka pripada drugom korisniku.")
                            : UiText(u"stavka pripada drugom korisniku (%1).").arg(author);
}

// The line grows the form: the page keeps its size.
void TLedgerDetailForm::showLocked(const QString &reason)
{
    ReadOnlyLabel->setText(UiText(u"Samo za čitanje: ") + reason);
    ReadOnlyLabel->show();
    fitScreen(598 + ReadOnlyLabel->heightForWidth(width()));
}

// Decided once, when the form opens.
void TLedgerDetailForm::SetActivity()
{
    const QString reason = LockReason();
    if (reason.isEmpty())
        return;
    showLocked(reason);
    if (FItems->LedgerItemZQcancelled->AsBoolean())
        lockCancelled();
    for (QWidget *w : {static_cast<QWidget *>(TypeDBCB), static_cast<QWidget *>(ItemTypeDBCB),
                       static_cast<QWidget *>(InMailTypeDBCB), static_cast<QWidget *>(OutMailTypeDBCB),
                       static_cast<QWidget *>(OrgUnitDBCB)})
        w->setEnabled(false);
    for (TDBEdit *e : {DatetimeDBE, NumberDBE, DBEdit3, ItemDateDBE, ItemNumberDBE, InMailNumberDBE, OutMailNumberDBE,
                       SubjectDBE, ClassificationDBE})
        lookReadOnly(e);
    for (QAction *a : {DateTimeAction, LinkToAction, PartnerAction, DocumentDateAction, InUserAction, OutUserAction})
        a->setEnabled(false);
    for (QPushButton *b : {DateTimeButton, LinkedToButton, PartnerButton, ItemDateButton, InUserButton, OutUserButton})
        b->setEnabled(false);
    clearActionsUpdate();
}

// Only a change of direction gives the item a new number.
void TLedgerDetailForm::TypeDBCBChange()
{
    TLedgerDM &dm = *LedgerDM;
    const int direction = dm.GetDirection(TypeDBCB->currentText());
    // Choosing again the direction the number was given for changes nothing.
    if (direction == FDirection)
        return;
    FDirection = direction;
    editIfBrowsing();
    FItems->LedgerItemZQdirection->SetAsInteger(direction);
    const QDateTime when = FItems->LedgerItemZQledgerdatetime->AsDateTime();
    FItems->LedgerItemZQledgernumber->SetAsString(dm.NextLedgerNumber(when, direction));
}

// ---- OK, Apply, Cancel and closing -----------------------------------------------------

void TLedgerDetailForm::CustomApplyUpdate(QAction &action)
{
    action.setEnabled(FItems->LedgerItemZQ->State() != TDataSetState::Browse);
}

void TLedgerDetailForm::CustomApplyExecute()
{
    TZQuery *query = FItems->LedgerItemZQ;
    PartnerCompletion->Settle();
    if (editing(*query)) {
        ItemTypeField->OfferTyped();
        query->Post();
    }
    FLedgerItemID = FItems->LedgerItemZQledgeritemid->AsInteger();
}

void TLedgerDetailForm::CustomOKExecute()
{
    CustomApplyUpdate(*CustomApply);
    // A refused store throws past accept(): the form stays open.
    if (CustomApply->isEnabled())
        CustomApplyExecute();
    accept();
}

void TLedgerDetailForm::CustomCancelExecute()
{
    FItems->LedgerItemZQ->Cancel();
    reject();
}

bool TLedgerDetailForm::FormCloseQuery()
{
    TZQuery *query = FItems->LedgerItemZQ;
    if (!editing(*query))
        return true;
    switch (MessageDlg(UiText(_CMN_SAVE_CHANGES_PROMT), TMsgDlgType::Confirmation, mbYes | mbNo | mbCancel)) {
    case mbYes:
        PartnerCompletion->Settle();
        query->Post();
        return true;
    case mbNo:
        query->Cancel();
        return true;
    default:
        return false;
    }
}

void TLedgerDetailForm::ReloadForm()
{
    FItems->OpenItem(FLedgerItemID);
    if (PageControl->currentWidget() == HistoryTS)
        ShowHistory();
}

// ---- Pickers --------------------------------------------------------------------------

void TLedgerDetailForm::DateTimeActionExecute()
{
    QDateTime when = QDateTime::currentDateTime();
    if (!GetDateTime(when))
        return;
    editIfBrowsing();
    FItems->LedgerItemZQledgerdatetime->SetAsDateTime(when);
}

void TLedgerDetailForm::DocumentDateActionExecute()
{
    TField &itemDate = *FItems->LedgerItemZQitemdate;
    QDate date = itemDate.IsNull() ? QDate() : itemDate.AsDateTime().date();
    if (!GetDate(date))
        return;
    editIfBrowsing();
    itemDate.SetValue(date);
}

void TLedgerDetailForm::PartnerActionExecute()
{
    IRef<IPartner> partners = LedgerService<IPartner>();
    TPartnerDesc desc;
    if (!partners || !partners->SelectPartner(desc))
        return;
    editIfBrowsing();
    FItems->LedgerItemZQpartnerid->SetAsLargeInt(desc.PartnerID);
    FItems->LedgerItemZQpartnername->SetAsString(desc.Name);
}

void TLedgerDetailForm::DocumentActionExecute()
{
    IRef<IDocument> documents = LedgerService<IDocument>();
    TDocumentDesc desc;
    if (!documents || !documents->SelectDocument(desc))
        return;
    editIfBrowsing();
    FItems->LedgerItemZQdocumentid->SetAsLargeInt(desc.DocumentID);
    FItems->LedgerItemZQdocumentnumber->SetAsString(desc.Number);
}

void TLedgerDetailForm::InUserActionExecute()
{
    IRef<ISecurity> security = LedgerService<ISecurity>();
    TUserDesc desc;
    if (!security || !security->SelectUser(desc))
        return;
    editIfBrowsing();
    FItems->LedgerItemZQinuserid->SetAsLargeInt(desc.UserID);
    FItems->LedgerItemZQinusername->SetAsString(desc.FirstName + u' ' + desc.LastName);
}

void TLedgerDetailForm::OutUserActionExecute()
{
    IRef<ISecurity> security = LedgerService<ISecurity>();
    TUserDesc desc;
    if (!security || !security->SelectUser(desc))
        return;
    editIfBrowsing();
    FItems->LedgerItemZQoutuserid->SetAsLargeInt(desc.UserID);
    FItems->LedgerItemZQoutusername->SetAsString(desc.FirstName + u' ' + desc.LastName);
}

void TLedgerDetailForm::LinkToActionExecute()
{
    // The picker has rows of its own: what is typed here stays as it is.
    TLedgerDesc desc;
    if (!LedgerGet(desc))
        return;
    // A link that comes back to the item itself would leave it stuck: it could
    // be neither deleted nor unlinked.
    if (LedgerDM->LinksBackTo(desc.LedgerItemID, FLedgerItemID)) {
        MessageDlg(UiText(u"Stavka %1 ne može biti povezana sa %2: veza bi se vratila na nju samu.")
                       .arg(FItems->LedgerItemZQledgernumber->AsString(), desc.LedgerNumber),
                   TMsgDlgType::Error, mbOK);
        return;
    }
    editIfBrowsing();
    FItems->LedgerItemZQparentid->SetAsLargeInt(desc.LedgerItemID);
    FItems->LedgerItemZQlinkedto->SetAsString(desc.LedgerNumber);
}
