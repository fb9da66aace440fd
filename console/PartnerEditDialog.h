#pragma once
// The partner form: Naziv, Adresa, Mesto, PIB, Matični broj, E-mail,
// Telefon. "Sačuvaj" stores the partner and closes the form; a refused save
// (a missing name, a wrong number, the database) says why and keeps the form
// open with what was typed. A partner with the same PIB or name is asked
// about first, naming it, with "Ne" the default.

#include "PartnerStore.h"

#include <QDialog>

class QFormLayout;
class QLineEdit;
class TZConnection;

class TPartnerEditDialog : public QDialog
{
    Q_OBJECT
public:
    // record.ID 0: a new partner.
    TPartnerEditDialog(TZConnection &connection, const TRegisterActor &actor, const TPartnerRecord &record,
                       QWidget *parent = nullptr);

    // The partner as typed, with the stored id once saved.
    TPartnerRecord Record() const;

    void accept() override; // saves; stays open when the save is refused

private:
    bool save();
    bool duplicatesAccepted(const TPartnerRecord &record);
    QLineEdit *addLine(const QString &caption, const QString &objectName, const QString &text, int maxLength);

    TZConnection &m_connection;
    TRegisterActor m_actor;
    TPartnerRecord m_record;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_city = nullptr;
    QLineEdit *m_pib = nullptr;
    QLineEdit *m_mb = nullptr;
    QLineEdit *m_email = nullptr;
    QLineEdit *m_phone = nullptr;
    QFormLayout *m_form = nullptr;
};
