// The detail form's page "Sken", its "Zameni…", the line on the first page
// that tells whether there is a scan, and "Štampaj štambilj".

#include "LedgerDetailUnit.h"

#include "Clock.h"
#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerItems.h"
#include "data/ScanFile.h"
#include "screens/ScanPage.h"
#include "screens/StampPrint.h"

#include "ui_LedgerDetailUnit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace {

constexpr char16_t UnstoredMsg[] = u"Stavka još nije sačuvana, pa za nju nema ni skena ni štambilja.";

} // namespace

void TLedgerDetailForm::addScanPage()
{
    ScanTS = new TScanPage(PageControl);
    PageControl->addTab(ScanTS, UiText(u"Sken"));
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int) {
        if (PageControl->currentWidget() == ScanTS && !ScanTS->Loaded())
            Guarded([this] { ShowScan(); });
    });
    connect(ScanTS, &TScanPage::replaceRequested, this, [this] { Guarded([this] { ReplaceScanExecute(); }); });

    // The free row left of "Povezan sa".
    QWidget *fields = GeneralTS->findChild<QWidget *>(QStringLiteral("GeneralFields"));
    PrintStampAction = new QAction(UiText(u"Štampaj štambilj"), this);
    PrintStampAction->setObjectName(QStringLiteral("PrintStampAction"));
    ConnectGuarded(PrintStampAction, [this] { PrintStampExecute(); });
    PrintStampButton = new QPushButton(PrintStampAction->text(), fields);
    PrintStampButton->setObjectName(QStringLiteral("PrintStampButton"));
    // Wider when its caption needs it (Cyrillic is): the row moves along.
    const int stampWidth = qMax(124, PrintStampButton->fontMetrics().horizontalAdvance(PrintStampButton->text()) + 12);
    const int shift = stampWidth - 124;
    PrintStampButton->setGeometry(12, 72, stampWidth, 21);
    PrintStampButton->setAutoDefault(false);
    connect(PrintStampButton, &QPushButton::clicked, PrintStampAction, &QAction::trigger);
    ScanStateLabel = new QLabel(fields);
    ScanStateLabel->setObjectName(QStringLiteral("ScanStateLabel"));
    ScanStateLabel->setGeometry(152 + shift, 74, 86, 17);
    ShowScanButton = new QPushButton(UiText(u"Prikaži"), fields);
    ShowScanButton->setObjectName(QStringLiteral("ShowScanButton"));
    ShowScanButton->setGeometry(240 + shift, 72, 77, 21);
    ShowScanButton->setAutoDefault(false);
    connect(ShowScanButton, &QPushButton::clicked, this, [this] { PageControl->setCurrentWidget(ScanTS); });
    // Tab reaches them in their row, after the date's button.
    QWidget::setTabOrder(ui->DateTimeButton, PrintStampButton);
    QWidget::setTabOrder(PrintStampButton, ShowScanButton);
    showScanState();
}

QString TLedgerDetailForm::ownScanPath() const
{
    const qint64 id = FItems->LedgerItemZQledgeritemid->AsLargeInt();
    if (id <= 0)
        return {};
    return QDir(TLedgerDM::ConfiguredScannedDocumentDir()).filePath(ItemScanName(id));
}

// Asks nothing: a folder that is not there means no scan.
void TLedgerDetailForm::showScanState()
{
    const bool exists = QFileInfo::exists(ownScanPath());
    ScanStateLabel->setText(exists ? UiText(u"Sken: postoji") : UiText(u"Sken: nema"));
}

void TLedgerDetailForm::ShowScan()
{
    ScanTS->Load(ownScanPath());
    showScanState();
}

qint64 TLedgerDetailForm::storedItemID()
{
    if (FItems->LedgerItemZQledgeritemid->AsLargeInt() <= 0) {
        CustomApplyExecute();
        UpdateActions();
    }
    const qint64 id = FItems->LedgerItemZQledgeritemid->AsLargeInt();
    if (id <= 0)
        MessageDlg(UiText(UnstoredMsg), TMsgDlgType::Warning, mbOK);
    return std::max<qint64>(id, 0);
}

void TLedgerDetailForm::ReplaceScanExecute()
{
    TLedgerDM &dm = *LedgerDM;
    const qint64 id = storedItemID();
    if (id == 0)
        return;
    const QString dir = dm.GetScannedDocumentFilePath();
    if (dir.isEmpty())
        return;
    const QString chosen = Dialogs().OpenFileDialog(UiText(u"Zameni sken"), QStringLiteral("PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    const QString number = FItems->LedgerItemZQledgernumber->AsString();
    const QString name = QFileInfo(chosen).fileName();
    const QString question =
        QFileInfo::exists(QDir(dir).filePath(ItemScanName(id)))
            ? UiText(u"Sken stavke %1 biće zamenjen datotekom „%2“. Dosadašnji sken ostaje sačuvan u folderu "
                             u"pod imenom sa datumom i vremenom zamene. Zameniti sken?")
                  .arg(number, name)
            : UiText(u"Datoteka „%2“ postaje sken stavke %1. Nastaviti?").arg(number, name);
    if (MessageDlg(question, TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo) != mbYes)
        return;
    ReplaceItemScan(*dm.ZConnection(), dir, id, chosen, dm.HistoryActor(), TClock::Now());
    ScanTS->Unload();
    if (PageControl->currentWidget() == ScanTS)
        ShowScan();
    showScanState();
}

void TLedgerDetailForm::PrintStampExecute()
{
    const qint64 id = storedItemID();
    if (id > 0)
        PrintItemStamp(*LedgerDM->ZConnection(), id, this);
}
