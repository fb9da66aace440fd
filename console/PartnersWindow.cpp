#include "PartnersWindow.h"

#include "Dialogs.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "PartnerEditDialog.h"
#include "PartnerImportDialog.h"
#include "PartnerStore.h"
#include "PickRows.h"
#include "SerbianDisplayOrder.h"
#include "SerbianFold.h"
#include "ZConnection.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QStringList headers()
{
    return {UiText(u"Naziv"), UiText(u"Adresa"), UiText(u"Mesto"), UiText(u"PIB"),
            UiText(u"MB"),    UiText(u"E-mail"), UiText(u"Telefon"), UiText(u"Aktivan")};
}

// Shows a refusal of the database or of the register.
void showRefusal(const KException &e)
{
    if (const auto *db = dynamic_cast<const EDatabaseError *>(&e))
        Dialogs().ErrorDlg(db->message(), db->details());
    else
        Dialogs().MessageDlg(e.message(), TMsgDlgType::Warning, mbOK);
}

} // namespace

TPartnersWindow::TPartnersWindow(TZConnection &connection, const TUserDesc &user, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_user(user)
{
    setWindowTitle(UiText(u"Partneri"));
    auto *layout = new QVBoxLayout(this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_filter->setPlaceholderText(UiText(u"Traži po nazivu, adresi, mestu, PIB-u, matičnom broju…"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);

    const QStringList captions = headers();
    m_list = new QTableWidget(0, int(captions.size()), this);
    m_list->setObjectName(QStringLiteral("partnerList"));
    m_list->setHorizontalHeaderLabels(captions);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_list, 1);

    m_buttons = new QHBoxLayout;
    // Guarded: a database lost on the way is shown, never thrown through Qt.
    ConnectGuarded(addButton(UiText(u"&Novi…"), QStringLiteral("newButton")), [this] { AddPartner(); });
    ConnectGuarded(addButton(UiText(u"&Izmeni…"), QStringLiteral("editButton")), [this] { EditCurrent(); });
    m_activeButton = addButton(UiText(u"&Deaktiviraj"), QStringLiteral("activeButton"));
    ConnectGuarded(m_activeButton, [this] { ToggleActive(); });
    QPushButton *merge = addButton(UiText(u"&Spoji sa…"), QStringLiteral("mergeButton"));
    merge->setToolTip(UiText(u"Stavke izabranog partnera prelaze na drugog partnera, a izabrani postaje neaktivan"));
    ConnectGuarded(merge, [this] { MergeCurrent(); });
    QPushButton *import = addButton(UiText(u"&Uvoz…"), QStringLiteral("importButton"));
    import->setToolTip(UiText(u"Partneri iz CSV datoteke (npr. tabela sačuvana kao CSV)"));
    ConnectGuarded(import, [this] { ImportPartners(); });
    m_buttons->addStretch(1);
    connect(addButton(UiText(u"Zatvori"), QStringLiteral("closeButton")), &QPushButton::clicked, this,
            &QDialog::accept);
    layout->addLayout(m_buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &TPartnersWindow::applyFilter);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { Guarded([this] { EditCurrent(); }); });
    connect(m_list, &QTableWidget::currentCellChanged, this, &TPartnersWindow::updateButtons);
    resize(960, 560);
    Reload();
}

void TPartnersWindow::ImportPartners()
{
    TPartnerImportDialog dialog(m_connection, PartnerActor(m_user), this);
    if (Dialogs().ShowModal(dialog) == QDialog::Accepted)
        Reload();
}

QPushButton *TPartnersWindow::addButton(const QString &caption, const QString &objectName)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    m_buttons->addWidget(button);
    return button;
}

void TPartnersWindow::Reload()
{
    const qint64 current = CurrentPartnerID();
    m_ids.clear();
    m_active.clear();
    m_list->setRowCount(0);
    struct Row
    {
        qint64 ID;
        QStringList Cells; // name, address, city, pib, mb, email, phone
        bool Active;
    };
    QList<Row> rows;
    auto q = m_connection.OpenQuery(
        QStringLiteral("SELECT partnerid, name, address, city, pib, mb, email, phone, active FROM partner"));
    while (q->next()) {
        Row row{q->value(0).toLongLong(), {}, RowText(*q, 8) != QLatin1String("n")};
        for (int column = 1; column <= 7; ++column)
            row.Cells << RowText(*q, column);
        rows << std::move(row);
    }
    // Names in the alphabet of the user's script, either script's among the
    // other's; the same name twice in the order it was entered.
    SortForDisplayBy(rows, [](const Row &r) { return QStringList{r.Cells[0], QString::number(r.ID).rightJustified(19, u'0')}; });
    for (const Row &r : std::as_const(rows)) {
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        for (int column = 0; column < 7; ++column)
            m_list->setItem(row, column, new QTableWidgetItem(r.Cells[column]));
        m_list->setItem(row, 7, new QTableWidgetItem(r.Active ? UiText(u"da") : UiText(u"ne")));
        m_ids.push_back(r.ID);
        m_active.push_back(r.Active);
    }
    // The name takes what the other columns leave; long addresses and
    // e-mails are cut short (whole in the form), so nothing needs scrolling
    // sideways on a 1024 pixel screen.
    static const int widest[] = {0, 180, 110, 90, 80, 170, 110, 70};
    for (int column = 1; column < m_list->columnCount(); ++column) {
        m_list->resizeColumnToContents(column);
        m_list->setColumnWidth(column, std::min(m_list->columnWidth(column), widest[column]));
    }
    applyFilter();
    SetCurrentPartner(current);
}

void TPartnersWindow::applyFilter()
{
    const QString wanted = SerbianFold(m_filter->text().trimmed());
    int firstShown = -1;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < 7; ++column)
            cells << m_list->item(row, column)->text();
        const bool shown = wanted.isEmpty() || SerbianFold(cells.join(QLatin1Char(' '))).contains(wanted);
        m_list->setRowHidden(row, !shown);
        if (shown && firstShown < 0)
            firstShown = row;
    }
    if (m_list->currentRow() < 0 || m_list->isRowHidden(m_list->currentRow()))
        m_list->setCurrentCell(firstShown, 0);
    updateButtons();
}

qint64 TPartnersWindow::CurrentPartnerID() const
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= int(m_ids.size()) || m_list->isRowHidden(row))
        return 0;
    return m_ids[size_t(row)];
}

void TPartnersWindow::SetCurrentPartner(qint64 id)
{
    for (size_t row = 0; row < m_ids.size(); ++row)
        if (m_ids[row] == id && !m_list->isRowHidden(int(row))) {
            m_list->setCurrentCell(int(row), 0);
            return;
        }
}

QStringList TPartnersWindow::ShownNames() const
{
    QStringList names;
    for (int row = 0; row < m_list->rowCount(); ++row)
        if (!m_list->isRowHidden(row))
            names << m_list->item(row, 0)->text();
    return names;
}

void TPartnersWindow::updateButtons()
{
    const int row = m_list->currentRow();
    const bool active = row < 0 || row >= int(m_active.size()) || m_active[size_t(row)];
    m_activeButton->setText(active ? UiText(u"&Deaktiviraj") : UiText(u"&Aktiviraj"));
}

bool TPartnersWindow::refusedToClerk()
{
    if (m_user.Administrator)
        return false;
    Dialogs().MessageDlg(PartnerAdministratorOnlyText, TMsgDlgType::Warning, mbOK);
    return true;
}

void TPartnersWindow::AddPartner()
{
    TPartnerRecord record;
    record.Name = m_filter->text().trimmed();
    TPartnerEditDialog dialog(m_connection, PartnerActor(m_user), record, this);
    if (Dialogs().ShowModal(dialog) != QDialog::Accepted)
        return;
    m_filter->clear();
    Reload();
    SetCurrentPartner(dialog.Record().ID);
}

void TPartnersWindow::EditCurrent()
{
    const qint64 id = CurrentPartnerID();
    if (id == 0)
        return;
    try {
        const std::optional<TPartnerRecord> record = ReadPartner(m_connection, id);
        if (!record) {
            Dialogs().MessageDlg(UiText(u"Partner više ne postoji (u međuvremenu je izbrisan)."),
                                 TMsgDlgType::Warning, mbOK);
            Reload();
            return;
        }
        TPartnerEditDialog dialog(m_connection, PartnerActor(m_user), *record, this);
        if (Dialogs().ShowModal(dialog) == QDialog::Accepted)
            Reload();
    } catch (const KException &e) {
        showRefusal(e);
    }
}

void TPartnersWindow::ToggleActive()
{
    const qint64 id = CurrentPartnerID();
    if (id == 0 || refusedToClerk())
        return;
    const bool active = m_active[size_t(m_list->currentRow())];
    try {
        SetPartnerActive(m_connection, id, !active, m_user);
    } catch (const KException &e) {
        showRefusal(e);
    }
    Reload();
}

void TPartnersWindow::MergeCurrent()
{
    const qint64 mergedID = CurrentPartnerID();
    if (mergedID == 0 || refusedToClerk())
        return;
    const QString mergedName = m_list->item(m_list->currentRow(), 0)->text();
    try {
        // The partner that stays: any other active one.
        std::vector<qint64> ids;
        QList<QStringList> rows;
        auto q = m_connection.OpenQuery(
            QStringLiteral("SELECT partnerid, name, city, pib FROM partner WHERE active = 'y' AND partnerid <> ? "
                           "ORDER BY %1, partnerid")
                .arg(m_connection.TextOrder(QStringLiteral("name"))),
            {mergedID});
        while (q->next()) {
            ids.push_back(q->value(0).toLongLong());
            rows << QStringList{RowText(*q, 1), RowText(*q, 2), RowText(*q, 3)};
        }
        const TPickResult picked =
            PickRow(UiText(u"Partner u koga se „%1” spaja").arg(mergedName),
                    {UiText(u"Naziv"), UiText(u"Mesto"), UiText(u"PIB")}, rows, -1);
        if (picked.Row < 0 || picked.Row >= int(ids.size()))
            return;
        const qint64 keptID = ids[size_t(picked.Row)];
        const QString keptName = rows[picked.Row].first();
        const QString question =
            UiText(u"Partner „%1” biće spojen u „%2”: sve njegove stavke prelaze na „%2”, a „%1” postaje "
               u"neaktivan. Ovo se ne može poništiti.\n\nSpojiti?")
                .arg(mergedName, keptName);
        if (Dialogs().MessageDlg(question, TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo) != mbYes)
            return;
        const int moved = MergePartners(m_connection, keptID, mergedID, m_user);
        Dialogs().MessageDlg(UiText(u"Partner „%1” je spojen u „%2”; premeštenih stavki: %3.")
                                 .arg(mergedName, keptName)
                                 .arg(moved),
                             TMsgDlgType::Information, mbOK);
        Reload();
        SetCurrentPartner(keptID);
    } catch (const KException &e) {
        showRefusal(e);
        Reload();
    }
}
