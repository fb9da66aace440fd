#include "YearClosingDialog.h"

#include "Dialogs.h"
#include "Guard.h"
#include "Help.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "data/ClosedYears.h"
#include "data/LedgerDMUnit.h"
#include "data/YearClosing.h"
#include "screens/LedgerHelpContexts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

TYearClosingDialog::TYearClosingDialog(TZConnection &connection, int year, QWidget *parent)
    : QDialog(parent), YearEdit(new QSpinBox(this)), ShowButton(new QPushButton(UiText(u"&Prikaži"), this)),
      StateLabel(new QLabel(this)), FiguresTree(new QTreeWidget(this)), StatementLabel(new QLabel(this)),
      CloseYearButton(new QPushButton(UiText(u"&Zaključi"), this)),
      PrintButton(new QPushButton(UiText(u"Š&tampaj…"), this)),
      PdfButton(new QPushButton(UiText(u"P&DF…"), this)),
      CloseButton(new QPushButton(UiText(u"Zat&vori"), this)), m_connection(connection)
{
    SetHelpContext(this, LedgerReportsHelp);
    setObjectName(QStringLiteral("YearClosingDialog"));
    YearEdit->setObjectName(QStringLiteral("YearEdit"));
    YearEdit->setRange(1900, 9999);
    YearEdit->setGroupSeparatorShown(false);
    YearEdit->setValue(year);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setWordWrap(true);
    FiguresTree->setObjectName(QStringLiteral("FiguresTree"));
    FiguresTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FiguresTree->setWordWrap(true);
    FiguresTree->header()->setStretchLastSection(true);
    FiguresTree->setRootIsDecorated(false);
    StatementLabel->setObjectName(QStringLiteral("StatementLabel"));
    StatementLabel->setWordWrap(true);
    CloseYearButton->setObjectName(QStringLiteral("CloseYearButton"));
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PdfButton->setObjectName(QStringLiteral("PdfButton"));
    CloseButton->setDefault(true);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(UiText(u"Godina:"), this));
    top->addWidget(YearEdit);
    top->addWidget(ShowButton);
    top->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(CloseYearButton);
    bottom->addStretch();
    bottom->addWidget(PrintButton);
    bottom->addWidget(PdfButton);
    bottom->addWidget(CloseButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(StateLabel);
    layout->addWidget(FiguresTree, 1);
    layout->addWidget(StatementLabel);
    layout->addLayout(bottom);
    resize(760, 440);

    ConnectGuarded(ShowButton, [this] { ShowButtonClick(); });
    ConnectGuarded(CloseYearButton, [this] { CloseYearButtonClick(); });
    ConnectGuarded(PrintButton, [this] { PrintButtonClick(); });
    ConnectGuarded(PdfButton, [this] { PdfButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    load(year);
}

void TYearClosingDialog::ShowButtonClick()
{
    load(YearEdit->value());
}

void TYearClosingDialog::CloseYearButtonClick()
{
    const int year = m_note.Figures.Year;
    if (MessageDlg(UiText(u"Zaključiti delovodnik za %1. godinu?\nPosle zaključenja stavke te godine se ne mogu "
                                  u"menjati, stornirati ni brisati.")
                       .arg(year),
                   TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo)
        != mbYes)
        return;
    if (CloseYear(m_connection, year, LedgerDM->HistoryActor()) == TCloseOutcome::AlreadyClosed)
        MessageDlg(UiText(u"Godinu %1 je u međuvremenu zaključio drugi korisnik.").arg(year), TMsgDlgType::Warning,
                   mbOK);
    load(year);
    if (MessageDlg(UiText(u"Delovodnik za %1. godinu je zaključen.\nOdštampati zaključak?").arg(year),
                   TMsgDlgType::Confirmation, mbYes | mbNo)
        == mbYes)
        PrintButtonClick();
}

void TYearClosingDialog::PrintButtonClick()
{
    PreviewClosingNote(m_note);
}

void TYearClosingDialog::PdfButtonClick()
{
    const QString file = Dialogs().SaveFileDialog(UiText(u"Zaključak u PDF datoteku"),
                                                  QStringLiteral("PDF (*.pdf)"),
                                                  QStringLiteral("zakljucak-%1.pdf").arg(m_note.Figures.Year));
    if (file.isEmpty())
        return;
    SaveClosingNotePdf(m_note, file);
    MessageDlg(UiText(u"Zaključak je sačuvan u datoteci „%1“.").arg(QDir::toNativeSeparators(file)),
               TMsgDlgType::Information, mbOK);
}

void TYearClosingDialog::load(int year)
{
    if (std::optional<TClosedYear> closed = ClosedYearRecord(m_connection, year)) {
        m_note = ClosedYearNote(m_connection, year);
    } else {
        m_note = ClosingNoteOf(m_connection, ReadClosingFigures(m_connection, year));
    }
    YearEdit->setValue(year);
    fill();
}

void TYearClosingDialog::fill()
{
    const int year = m_note.Figures.Year;
    setWindowTitle(UiText(u"Zaključenje delovodnika za %1. godinu").arg(year));
    StateLabel->setText(m_note.Closed ? UiText(u"Godina je zaključena: stavke te godine se ne mogu menjati.")
                                      : UiText(u"Godina je otvorena. Pregled zaključka prema stanju upisanom sada:"));
    CloseYearButton->setEnabled(!m_note.Closed);
    FiguresTree->clear();
    FiguresTree->setHeaderLabels(ClosingNoteCaptions(m_note.Figures));
    FiguresTree->setColumnWidth(0, 230);
    for (int column = 1; column < FiguresTree->columnCount(); ++column)
        FiguresTree->setColumnWidth(column, 160);
    for (const QStringList &row : ClosingNoteRows(m_note.Figures)) {
        auto *item = new QTreeWidgetItem(FiguresTree, row);
        for (int column = 1; column < row.size(); ++column)
            item->setToolTip(column, row[column]);
    }
    StatementLabel->setText(ClosingStatement(m_note));
}
