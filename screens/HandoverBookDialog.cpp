#include "HandoverBookDialog.h"

#include "Clock.h"
#include "CustomViewerForm.h"
#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "ZConnection.h"
#include "data/HandoverAcceptance.h"
#include "data/HandoverBook.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerProceedingReport.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>

THandoverBookDialog::THandoverBookDialog(TZConnection &connection, int year, QWidget *parent)
    : QDialog(parent), m_connection(connection)
{
    setObjectName(QStringLiteral("HandoverBookDialog"));
    setWindowTitle(UiText(u"Zapisnici o primopredaji"));
    auto *layout = new QVBoxLayout(this);
    auto *filters = new QHBoxLayout;
    YearCombo = new QComboBox(this);
    YearCombo->setObjectName(QStringLiteral("YearCombo"));
    QList<int> years = HandoverBookYears(connection);
    if (!years.contains(year))
        years.prepend(year);
    std::sort(years.begin(), years.end(), std::greater<>());
    for (int y : years)
        YearCombo->addItem(QString::number(y), y);
    YearCombo->setCurrentIndex(int(years.indexOf(year)));
    ColleagueCombo = new QComboBox(this);
    ColleagueCombo->setObjectName(QStringLiteral("ColleagueCombo"));
    ColleagueCombo->addItem(UiText(u"Svi"), 0);
    auto users = connection.OpenQuery(
        QStringLiteral("SELECT userid, CONCAT(firstname,' ',lastname) FROM user ORDER BY lastname, firstname"));
    while (users->next())
        ColleagueCombo->addItem(users->value(1).toString(), users->value(0));
    filters->addWidget(new QLabel(UiText(u"Godina"), this));
    filters->addWidget(YearCombo);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(UiText(u"Kolega"), this));
    filters->addWidget(ColleagueCombo, 1);
    layout->addLayout(filters);

    RecordsTree = new QTreeWidget(this);
    RecordsTree->setObjectName(QStringLiteral("RecordsTree"));
    RecordsTree->setRootIsDecorated(false);
    RecordsTree->setHeaderLabels({UiText(u"Broj"), UiText(u"Vreme"), UiText(u"Primalac"), UiText(u"Predali"), UiText(u"Stavki")});
    layout->addWidget(RecordsTree, 1);

    auto *bottom = new QHBoxLayout;
    DataScriptCombo = NewDataScriptCombo(this);
    auto *scriptLabel = new QLabel(DataScriptCaption(), this);
    scriptLabel->setBuddy(DataScriptCombo);
    bottom->addWidget(scriptLabel);
    bottom->addWidget(DataScriptCombo);
    auto *buttons = new QDialogButtonBox(this);
    PrintButton = buttons->addButton(UiText(u"Štampaj…"), QDialogButtonBox::ActionRole);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    SaveButton = buttons->addButton(UiText(u"Sačuvaj PDF…"), QDialogButtonBox::ActionRole);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    for (QPushButton *b : {PrintButton, SaveButton})
        b->setAutoDefault(false);
    buttons->addButton(UiText(u"Zatvori"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ConnectGuarded(PrintButton, [this] { PrintButtonClick(); });
    ConnectGuarded(SaveButton, [this] { SaveButtonClick(); });
    bottom->addWidget(buttons, 1);
    layout->addLayout(bottom);

    for (QComboBox *combo : {YearCombo, ColleagueCombo})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { Reload(); }); });
    connect(RecordsTree, &QTreeWidget::itemDoubleClicked, this, [this] { Guarded([this] { PrintButtonClick(); }); });
    Reload();
    resize(720, 420);
}

void THandoverBookDialog::Reload()
{
    RecordsTree->clear();
    const int year = YearCombo->currentData().toInt();
    for (const THandoverBookEntry &e : HandoverBookEntries(m_connection, year, ColleagueCombo->currentData().toLongLong())) {
        auto *item = new QTreeWidgetItem(RecordsTree, {QStringLiteral("%1/%2").arg(e.Number).arg(e.Year % 100, 2, 10, QLatin1Char('0')),
                                                       e.At.toString(QStringLiteral("dd.MM.yyyy HH:mm")), e.Recipient,
                                                       e.HandedOverBy.join(QStringLiteral(", ")), QString::number(e.ItemCount)});
        item->setData(0, Qt::UserRole, e.ID);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (RecordsTree->topLevelItemCount() > 0)
        RecordsTree->setCurrentItem(RecordsTree->topLevelItem(0));
    for (int c = 0; c < RecordsTree->columnCount(); ++c)
        RecordsTree->resizeColumnToContents(c);
}

qint64 THandoverBookDialog::chosenRecord() const
{
    if (const QTreeWidgetItem *item = RecordsTree->currentItem())
        return item->data(0, Qt::UserRole).toLongLong();
    MessageDlg(UiText(u"Izaberite zapisnik."), TMsgDlgType::Warning, mbOK);
    return 0;
}

void THandoverBookDialog::PrintButtonClick()
{
    if (const qint64 id = chosenRecord())
        ExecuteStoredHandoverRecord(m_connection, id, ChosenDataScript(*DataScriptCombo));
}

void THandoverBookDialog::SaveButtonClick()
{
    const qint64 id = chosenRecord();
    if (!id)
        return;
    const QString number = RecordsTree->currentItem()->text(0).replace(u'/', u'-');
    QString file = Dialogs().SaveFileDialog(UiText(u"Sačuvaj zapisnik"), UiText(u"PDF datoteke (*.pdf)"),
                                            QStringLiteral("zapisnik-%1.pdf").arg(number));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    SaveStoredHandoverRecord(m_connection, id, file, ChosenDataScript(*DataScriptCombo));
}

void AddHandoverBookAction(TCustomViewerForm &frame)
{
    auto *action = frame.AddAction(new QAction(UiText(u"Zapisnici o primopredaji…"), &frame));
    action->setObjectName(QStringLiteral("HandoverBookAction"));
    ConnectGuarded(action, [owner = &frame] { HandoverBookActionExecute(owner); });
    // Beside "Zapisnik", whose records it lists.
    const QList<QAction *> items = frame.PopupMenu->actions();
    const auto record = std::find_if(items.begin(), items.end(), [](const QAction *a) {
        return a->objectName() == QLatin1String("ProceedingAction");
    });
    frame.PopupMenu->insertAction(record != items.end() && record + 1 != items.end() ? *(record + 1) : nullptr, action);
    frame.EnableCommands();
}

void HandoverBookActionExecute(QWidget *owner)
{
    TZConnection *connection = LedgerDM->ZConnection();
    if (!connection)
        throw KException(UiText(u"Delovodnik nije povezan sa bazom podataka."));
    THandoverBookDialog dialog(*connection, TClock::Now().date().year(), owner);
    Dialogs().ShowModal(dialog);
}
