#include "PartnerEditDialog.h"

#include "Dialogs.h"
#include "EditButtons.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPartnerEditDialog::TPartnerEditDialog(TZConnection &connection, const TRegisterActor &actor,
                                       const TPartnerRecord &record, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_actor(actor), m_record(record)
{
    setWindowTitle(record.ID == 0 ? UiText(u"Novi partner") : UiText(u"Izmena partnera"));
    auto *layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    // The limits of the database's columns.
    m_name = addLine(UiText(u"&Naziv:"), QStringLiteral("nameEdit"), record.Name, 100);
    m_address = addLine(UiText(u"&Adresa:"), QStringLiteral("addressEdit"), record.Address, 100);
    m_city = addLine(UiText(u"&Mesto:"), QStringLiteral("cityEdit"), record.City, 50);
    m_pib = addLine(UiText(u"&PIB:"), QStringLiteral("pibEdit"), record.Pib, 9);
    m_mb = addLine(UiText(u"Ma&tični broj:"), QStringLiteral("mbEdit"), record.Mb, 8);
    m_email = addLine(UiText(u"&E-mail:"), QStringLiteral("emailEdit"), record.Email, 100);
    m_phone = addLine(UiText(u"&Telefon:"), QStringLiteral("phoneEdit"), record.Phone, 50);
    m_pib->setToolTip(UiText(u"Poreski identifikacioni broj: 9 cifara"));
    m_mb->setToolTip(UiText(u"Matični broj pravnog lica: 8 cifara"));

    layout->addWidget(EditButtons(*this, [this] { accept(); }));
    setMinimumWidth(460);
}

QLineEdit *TPartnerEditDialog::addLine(const QString &caption, const QString &objectName, const QString &text,
                                       int maxLength)
{
    auto *edit = new QLineEdit(text, this);
    edit->setObjectName(objectName);
    edit->setMaxLength(maxLength);
    m_form->addRow(caption, edit);
    return edit;
}

TPartnerRecord TPartnerEditDialog::Record() const
{
    TPartnerRecord r = m_record;
    r.Name = m_name->text().trimmed();
    r.Address = m_address->text().trimmed();
    r.City = m_city->text().trimmed();
    r.Pib = m_pib->text().trimmed();
    r.Mb = m_mb->text().trimmed();
    r.Email = m_email->text().trimmed();
    r.Phone = m_phone->text().trimmed();
    return r;
}

void TPartnerEditDialog::accept()
{
    if (save())
        QDialog::accept();
}

bool TPartnerEditDialog::save()
{
    const TPartnerRecord record = Record();
    if (const QString problem = PartnerProblem(record); !problem.isEmpty()) {
        Dialogs().MessageDlg(problem, TMsgDlgType::Warning, mbOK);
        return false;
    }
    try {
        if (!duplicatesAccepted(record))
            return false;
        m_record = record;
        m_record.ID = record.ID == 0 ? InsertPartner(m_connection, record, m_actor)
                                     : UpdatePartner(m_connection, record, m_actor);
        return true;
    } catch (const EDatabaseError &e) {
        Dialogs().ErrorDlg(e.message(), e.details());
    } catch (const KException &e) {
        Dialogs().MessageDlg(e.message(), TMsgDlgType::Warning, mbOK);
    }
    return false;
}

bool TPartnerEditDialog::duplicatesAccepted(const TPartnerRecord &record)
{
    const std::vector<TPartnerRecord> found = FindDuplicates(m_connection, record);
    if (found.empty())
        return true;
    QStringList names;
    for (const TPartnerRecord &other : found) {
        QString line = QStringLiteral("„%1”").arg(other.Name);
        if (!other.City.isEmpty())
            line += QStringLiteral(", ") + other.City;
        if (!other.Pib.isEmpty())
            line += QStringLiteral(", PIB ") + other.Pib;
        names << line;
    }
    const QString text = UiText(u"Partner sa istim PIB-om ili nazivom već postoji:\n%1\n\nIpak sačuvati?")
                             .arg(names.join(QLatin1Char('\n')));
    return Dialogs().MessageDlg(text, TMsgDlgType::Confirmation, mbYes | mbNo | mbDefaultNo) == mbYes;
}
