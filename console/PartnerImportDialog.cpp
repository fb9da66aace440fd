#include "PartnerImportDialog.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The preview shows this many rows; the import takes them all.
constexpr int PreviewRows = 200;

const TPartnerColumn AllColumns[] = {TPartnerColumn::Ignored, TPartnerColumn::Name, TPartnerColumn::Address,
                                     TPartnerColumn::City,    TPartnerColumn::Pib,  TPartnerColumn::Mb,
                                     TPartnerColumn::Email,   TPartnerColumn::Phone};

QString statusText(const TPartnerImportRow &row, const TPartnerImportPlan &plan)
{
    if (!row.Problem.isEmpty())
        return UiText(u"odbijen: %1").arg(row.Problem);
    if (row.DuplicateReason.isEmpty())
        return UiText(u"novi");
    const QString of = row.DuplicateOfRow >= 0
                           ? UiText(u"red %1 datoteke").arg(plan.Rows.at(row.DuplicateOfRow).Line)
                           : UiText(u"postojeći partner");
    return UiText(u"duplikat (%1): %2").arg(row.DuplicateReason, of);
}

} // namespace

TPartnerImportDialog::TPartnerImportDialog(TZConnection &connection, const TRegisterActor &actor, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_actor(actor)
{
    setObjectName(QStringLiteral("partnerImportDialog"));
    setWindowTitle(UiText(u"Uvoz partnera"));
    resize(900, 560);

    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("fileEdit"));
    m_file->setReadOnly(true);
    m_file->setPlaceholderText(UiText(u"CSV datoteka (npr. sačuvana iz tabele kao „CSV (razdvojeno tačkom i zarezom)“)"));
    auto *browseButton = new QPushButton(UiText(u"&Izaberi…"), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    ConnectGuarded(browseButton, [this] { browse(); });
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(UiText(u"Datoteka:"), this));
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browseButton);

    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("infoLabel"));
    m_info->setWordWrap(true);

    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("previewTable"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->verticalHeader()->setDefaultSectionSize(m_preview->fontMetrics().height() + 8);

    auto *duplicates = new QGroupBox(UiText(u"Duplikati (isti PIB ili isti naziv)"), this);
    m_skip = new QRadioButton(UiText(u"&Preskoči ih"), duplicates);
    m_skip->setObjectName(QStringLiteral("skipDuplicates"));
    m_skip->setChecked(true);
    m_merge = new QRadioButton(UiText(u"&Dopuni postojećeg partnera praznim poljima iz datoteke"), duplicates);
    m_merge->setObjectName(QStringLiteral("mergeDuplicates"));
    auto *duplicatesLayout = new QHBoxLayout(duplicates);
    duplicatesLayout->addWidget(m_skip);
    duplicatesLayout->addWidget(m_merge);
    duplicatesLayout->addStretch();

    auto *buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(UiText(u"&Uvezi"), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(QStringLiteral("importButton"));
    m_import->setEnabled(false);
    QPushButton *close = buttons->addButton(UiText(u"Zatvori"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    ConnectGuarded(m_import, [this] {
        if (Import())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(m_info);
    layout->addWidget(m_preview, 1);
    layout->addWidget(duplicates);
    layout->addWidget(buttons);
}

void TPartnerImportDialog::browse()
{
    const QString path = Dialogs().OpenFileDialog(UiText(u"Uvoz partnera"),
                                                  UiText(u"CSV datoteke (*.csv *.txt);;Sve datoteke (*)"));
    if (!path.isEmpty())
        LoadFile(path);
}

bool TPartnerImportDialog::LoadFile(const QString &path)
{
    m_file->setText(path);
    m_csv.reset();
    m_preview->clear();
    m_preview->setRowCount(0);
    m_preview->setColumnCount(0);
    m_columnBoxes.clear();
    m_import->setEnabled(false);
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw KException(UiText(u"Datoteka se ne može otvoriti: %1").arg(file.errorString()));
        m_csv = ReadPartnerCsv(file.readAll());
    } catch (const KException &e) {
        m_info->setText(UiText(u"Datoteka nije učitana: %1").arg(e.message()));
        return false;
    }
    // Row 0 holds the mapping: one field chooser over each of the file's columns.
    m_preview->setColumnCount(int(m_csv->Header.size()) + 1);
    QStringList headers{UiText(u"Šta će biti")};
    headers << m_csv->Header;
    m_preview->setHorizontalHeaderLabels(headers);
    m_preview->insertRow(0);
    m_preview->setVerticalHeaderItem(0, new QTableWidgetItem(UiText(u"Polje")));
    for (qsizetype i = 0; i < m_csv->Header.size(); ++i) {
        auto *box = new QComboBox(m_preview);
        box->setObjectName(QStringLiteral("columnBox%1").arg(i));
        for (TPartnerColumn column : AllColumns)
            box->addItem(PartnerColumnCaption(column), int(column));
        box->setCurrentIndex(box->findData(int(m_csv->Columns.at(i))));
        connect(box, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { replan(); }); });
        m_preview->setCellWidget(0, int(i) + 1, box);
        m_columnBoxes << box;
    }
    replan();
    return true;
}

QList<TPartnerColumn> TPartnerImportDialog::columns() const
{
    QList<TPartnerColumn> result;
    for (const QComboBox *box : m_columnBoxes)
        result << TPartnerColumn(box->currentData().toInt());
    return result;
}

void TPartnerImportDialog::SetColumn(int index, TPartnerColumn column)
{
    if (index >= 0 && index < m_columnBoxes.size())
        m_columnBoxes.at(index)->setCurrentIndex(m_columnBoxes.at(index)->findData(int(column)));
}

void TPartnerImportDialog::SetDuplicateAction(TDuplicateAction action)
{
    (action == TDuplicateAction::Merge ? m_merge : m_skip)->setChecked(true);
}

void TPartnerImportDialog::replan()
{
    if (!m_csv)
        return;
    const QList<TPartnerColumn> mapping = columns();
    if (!mapping.contains(TPartnerColumn::Name)) {
        m_info->setText(UiText(u"Izaberite kolonu sa nazivom partnera (polje „Naziv“)."));
        m_import->setEnabled(false);
        return;
    }
    const TPartnerImportPlan plan = PlanPartnerImport(m_connection, *m_csv, mapping);
    const int shown = int(std::min<qsizetype>(plan.Rows.size(), PreviewRows));
    m_preview->setRowCount(shown + 1);
    for (int r = 0; r < shown; ++r) {
        const TPartnerImportRow &row = plan.Rows.at(r);
        m_preview->setVerticalHeaderItem(r + 1, new QTableWidgetItem(QString::number(row.Line)));
        m_preview->setItem(r + 1, 0, new QTableWidgetItem(statusText(row, plan)));
        const QStringList &cells = m_csv->Rows.at(r).Cells;
        for (qsizetype c = 0; c < m_csv->Header.size(); ++c)
            m_preview->setItem(r + 1, int(c) + 1, new QTableWidgetItem(c < cells.size() ? cells.at(c) : QString()));
    }
    m_preview->resizeColumnsToContents();
    m_info->setText(UiText(u"Kodna strana %1, razdvajač „%2“. Redova: %3; odbijenih: %4; duplikata: %5.%6")
                        .arg(m_csv->Encoding, QString(m_csv->Separator))
                        .arg(plan.Rows.size())
                        .arg(plan.Refused())
                        .arg(plan.Duplicates())
                        .arg(plan.Rows.size() > PreviewRows
                                 ? UiText(u" Prikazano je prvih %1 redova; uvoze se svi.").arg(PreviewRows)
                                 : QString()));
    m_import->setEnabled(plan.Rows.size() > plan.Refused());
}

bool TPartnerImportDialog::Import()
{
    if (!m_csv)
        return false;
    try {
        m_result = ImportPartners(m_connection, *m_csv, columns(),
                                  m_merge->isChecked() ? TDuplicateAction::Merge : TDuplicateAction::Skip, m_actor);
    } catch (const KException &e) {
        MessageDlg(UiText(u"Partneri nisu uvezeni; ništa nije sačuvano.\n%1").arg(e.message()),
                   TMsgDlgType::Error, mbOK);
        return false;
    }
    MessageDlg(UiText(u"Uvoz partnera je završen. %1").arg(PartnerImportSummary(*m_result)),
               TMsgDlgType::Information, mbOK);
    return true;
}
