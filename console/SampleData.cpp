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

// A small classification plan: groups, subgroups and how long they are kept
// (0: "trajno").
struct PlanMark
{
    const char *Mark, *Name;
    int RetentionYears;
};

const PlanMark kPlan[] = {
    {"0", "Uprava i opšti poslovi", 0},
    {"01", "Organizacija i rad organa", 0},
    {"011", "Akta o organizaciji i sistematizaciji", 0},
    {"012", "Sednice, sastanci i zapisnici", 10},
    {"02", "Kadrovski poslovi", 0},
    {"021", "Zasnivanje i prestanak radnog odnosa", 0},
    {"022", "Godišnji odmori i odsustva", 5},
    {"03", "Pravni poslovi", 10},
    {"031", "Ugovori", 10},
    {"032", "Prigovori i žalbe", 5},
    {"4", "Finansijsko-materijalni poslovi", 10},
    {"41", "Fakture i plaćanja", 10},
    {"42", "Porezi, takse i doprinosi", 10},
};

struct OrgUnit
{
    const char *Code, *Name;
};

const OrgUnit kOrgUnits[] = {
    {"01", "Pisarnica"},
    {"02", "Pravna služba"},
    {"03", "Finansijska služba"},
};

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
    for (const PlanMark &m : kPlan)
        connection.ExecSQL(QStringLiteral("INSERT INTO classification (mark, name, retentionyears) VALUES (?, ?, ?)"),
                           {QString::fromUtf8(m.Mark), QString::fromUtf8(m.Name),
                            m.RetentionYears ? QVariant(m.RetentionYears) : QVariant(QMetaType::fromType<int>())});
    for (const OrgUnit &u : kOrgUnits)
        connection.ExecSQL(QStringLiteral("INSERT INTO orgunit (code, name) VALUES (?, ?)"),
                           {QString::fromUtf8(u.Code), QString::fromUtf8(u.Name)});
    transaction.Commit();
}
