#include "SampleData.h"

#include "PasswordHash.h"
#include "ZConnection.h"
#include "ZTransaction.h"

namespace {

struct Partner
{
    const char *Name, *Address, *City;
};

const Partner kPartners[] = {
    {"Elektroprivreda Srbije a.d.", "Balkanska 13", "Beograd"},
    {"Telekom Srbija a.d.", "Takovska 2", "Beograd"},
    {"Građevinsko preduzeće Šumadija d.o.o.", "Kneza Miloša 45", "Kragujevac"},
    {"O'Neil d.o.o.", "Bulevar oslobođenja 101", "Novi Sad"},
    {"Poreska uprava, Filijala Čukarica", "Požeška 65b", "Beograd"},
    {"Opština Žabalj", "Nikole Tesle 45", "Žabalj"},
    {"Knjigovodstvena agencija Đurić", "Cara Dušana 12", "Niš"},
    {"JKP Vodovod Čačak", "Bulevar oslobođenja 8", "Čačak"},
    {"Štamparija Ćirić i sinovi d.o.o.", "Železnička 7", "Subotica"},
    {"Republički fond za zdravstveno osiguranje", "Jovana Marinovića 2", "Beograd"},
    {"Informatika Žarković d.o.o.", "Vojvode Stepe 220", "Beograd"},
};

struct Document
{
    const char *Number, *Description;
};

const Document kDocuments[] = {
    {"UG-01/24", "Ugovor o održavanju računarske opreme"},
    {"UG-07/24", "Ugovor o isporuci električne energije"},
    {"RS-112/24", "Rešenje o porezu na imovinu"},
    {"ZP-05/24", "Zapisnik o primopredaji dokumentacije"},
    {"FA-0345/25", "Faktura za telekomunikacione usluge"},
    {"ZH-15/25", "Zahtev za izdavanje građevinske dozvole"},
    {"ŽL-03/25", "Žalba na rešenje o komunalnoj taksi"},
    {"PN-08/25", "Ponuda za štampanje obrazaca"},
    {"IZ-02/26", "Izveštaj o popisu imovine"},
    {"DP-41/26", "Dopis o usklađivanju stanja"},
};

// The document types the sample items use.
const char *const kItemTypes[] = {"Dopis",  "Rešenje",  "Zahtev", "Faktura",     "Ugovor",
                                  "Žalba", "Zapisnik", "Obaveštenje", "Odgovor na zahtev"};

} // namespace

QList<SampleData::User> SampleData::Users()
{
    return {
        {QStringLiteral("ana"), QStringLiteral("ana123"), QStringLiteral("Ana"), QStringLiteral("Petrović")},
        {QStringLiteral("marko"), QStringLiteral("marko123"), QStringLiteral("Marko"), QStringLiteral("Jovanović")},
        {QStringLiteral("jelena"), QStringLiteral("jelena123"), QStringLiteral("Jelena"), QStringLiteral("Đorđević")},
    };
}

void SampleData::Fill(TZConnection &connection)
{
    TZTransaction transaction(connection);
    for (const User &u : Users())
        connection.ExecSQL(
            QStringLiteral("INSERT INTO user (firstname, lastname, login, passwordhash) VALUES (?, ?, ?, ?)"),
            {u.FirstName, u.LastName, u.Login, HashPassword(u.Password)});
    for (const Partner &p : kPartners)
        connection.ExecSQL(QStringLiteral("INSERT INTO partner (name, address, city) VALUES (?, ?, ?)"),
                           {QString::fromUtf8(p.Name), QString::fromUtf8(p.Address), QString::fromUtf8(p.City)});
    for (const Document &d : kDocuments)
        connection.ExecSQL(QStringLiteral("INSERT INTO document (number, description) VALUES (?, ?)"),
                           {QString::fromUtf8(d.Number), QString::fromUtf8(d.Description)});
    for (const char *name : kItemTypes)
        connection.ExecSQL(QStringLiteral("INSERT INTO itemtype (name) VALUES (?)"), {QString::fromUtf8(name)});
    transaction.Commit();
}
