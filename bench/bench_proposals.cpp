// What intake proposes for one A4 page of a letter, once its text is read:
// against 10,000 partners (--partners N; names in the forms Serbian
// organisations and shops have, with valid PIBs and e-mail addresses) and 50
// item types. Medians of --runs N for the letter in Latin, the same in
// Cyrillic, a page read by OCR and an e-mail. Target: under 100 ms a page.
//
//   bench_proposals [--partners N] [--runs N]

#include "BenchSupport.h"
#include "data/IntakeProposalPartner.h"
#include "data/IntakeProposals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSet>
#include <cstdio>
#include <ctime>
#include <random>

namespace {

const char *const Cities[] = {"Beograd", "Novi Sad", "Niš", "Kragujevac", "Čačak", "Čajetina", "Šabac", "Užice",
                              "Kraljevo", "Smederevo", "Valjevo", "Zrenjanin", "Subotica", "Pančevo", "Leskovac",
                              "Vranje", "Požarevac", "Sombor", "Kruševac", "Jagodina", "Zaječar", "Pirot", "Bor",
                              "Ivanjica", "Arilje", "Požega", "Gornji Milanovac", "Loznica", "Sremska Mitrovica",
                              "Vršac", "Kikinda", "Prokuplje", "Negotin", "Ćuprija", "Paraćin", "Lučani"};
const char *const Words[] = {"Elektro", "Metal", "Drvo", "Građevina", "Promet", "Trgovina", "Agrar", "Stil",
                             "Plast", "Tekstil", "Komerc", "Invest", "Projekt", "Inženjering", "Transport", "Grafika",
                             "Mlekara", "Pekara", "Štamparija", "Apoteka", "Knjižara", "Auto", "Servis", "Energija",
                             "Voćar", "Žitopromet", "Šumadija", "Zlatibor", "Morava", "Dunav", "Sava", "Tara",
                             "Rudnik", "Jelica", "Ozren", "Kopaonik", "Đerdap", "Lasta", "Soko", "Orao"};
const char *const Surnames[] = {"Petrović", "Jovanović", "Đorđević", "Nikolić", "Marković", "Ilić", "Stojanović",
                                "Pavlović", "Milošević", "Kovačević", "Živković", "Šćekić", "Lukić", "Ćirić"};
const char *const Bodies[] = {"Ministarstvo", "Zavod", "Uprava", "Agencija", "Fond", "Sekretarijat", "Direkcija"};
const char *const Domains[] = {"za finansije", "za privredu", "za zdravlje", "za prosvetu", "za poljoprivredu",
                               "za urbanizam", "za statistiku", "za zaštitu životne sredine", "za puteve"};

QString pib(std::mt19937 &random)
{
    std::uniform_int_distribution<int> digits(10000000, 99999999);
    for (;;) {
        const QString base = QString::number(digits(random));
        for (int check = 0; check < 10; ++check)
            if (PibIsValid(base + QString::number(check)))
                return base + QString::number(check);
    }
}

template <size_t N>
QString pick(std::mt19937 &random, const char *const (&list)[N])
{
    return QString::fromUtf8(list[std::uniform_int_distribution<size_t>(0, N - 1)(random)]);
}

QList<TIntakePartner> partners(int count)
{
    std::mt19937 random(27);
    QList<TIntakePartner> list;
    QSet<QString> names;
    for (int i = 1; list.size() < count; ++i) {
        QString name;
        switch (i % 5) {
        case 0:
            name = QStringLiteral("Opština %1").arg(pick(random, Cities));
            break;
        case 1:
            name = QStringLiteral("%1 %2 d.o.o. %3").arg(pick(random, Words), pick(random, Words), pick(random, Cities));
            break;
        case 2:
            name = QStringLiteral("%1 %2").arg(pick(random, Bodies), pick(random, Domains));
            break;
        case 3:
            name = QStringLiteral("SZR %1 %2 PR %3").arg(pick(random, Words), pick(random, Surnames), pick(random, Cities));
            break;
        default:
            name = QStringLiteral("JKP %1 %2").arg(pick(random, Words), pick(random, Cities));
        }
        // A register holds a name once.
        if (!names.contains(name)) {
            names.insert(name);
            list << TIntakePartner{i, name, pib(random), QStringLiteral("kontakt%1@firma%1.rs").arg(i)};
        }
    }
    // The letter's sender, among them.
    list << TIntakePartner{count + 1, QStringLiteral("Opština Čajetina – Odeljenje za urbanizam"), QStringLiteral("101234569"),
                           QStringLiteral("urbanizam@cajetina.org.rs")};
    return list;
}

QStringList itemTypes()
{
    QStringList types{"Rešenje", "Zahtev", "Faktura", "Dopis", "Žalba", "Obaveštenje", "Poziv za sednicu", "Ugovor",
                      "Aneks ugovora", "Ponuda", "Narudžbenica", "Zapisnik", "Izveštaj", "Uverenje", "Potvrda",
                      "Molba", "Prigovor", "Tužba", "Presuda", "Zaključak"};
    for (int i = types.size(); i < 50; ++i)
        types << QStringLiteral("Vrsta dokumenta %1").arg(i + 1);
    return types;
}

// One A4 page of a municipality's letter (some 3,000 characters).
QString letter()
{
    QString text = QStringLiteral(
        "REPUBLIKA SRBIJA\nOPŠTINA ČAJETINA\nOdeljenje za urbanizam\nBroj: 404-12/2026-03\nDatum: 3. 12. 2026. godine\n"
        "Čajetina, Trg Palih boraca 1\nPIB: 101234569, matični broj: 07123456\nTel. 031/3831-212, e-mail: "
        "urbanizam@cajetina.org.rs\n\nJKP VODOVOD ČAČAK\nGospodar Jovanova 20\n32000 Čačak\n\n"
        "Predmet: Zahtev za izdavanje uslova za projektovanje i priključenje\nna vodovodnu mrežu\n\nVeza: Vaš broj "
        "55/26 od 1.12.2026\n\nPoštovani,\n\n");
    const QString paragraph = QStringLiteral(
        "Na osnovu člana 54. Zakona o planiranju i izgradnji („Sl. glasnik RS”, br. 72/2009, 81/2009 i 145/2014), "
        "a u vezi sa zahtevom investitora za izdavanje lokacijskih uslova za izgradnju stambenog objekta na "
        "katastarskoj parceli broj 1234/5 KO Čajetina, molimo Vas da nam u roku od 15 dana dostavite uslove\n"
        "za projektovanje i priključenje objekta na vodovodnu i kanalizacionu mrežu.\n\n");
    for (int i = 0; i < 6; ++i)
        text += paragraph;
    text += QStringLiteral("S poštovanjem,\n\nRukovodilac odeljenja\nMarija Petrović, dipl. inž. arh.\n");
    return text;
}

// The same letter as a desk in Cyrillic writes it (the part the proposals read).
QString cyrillicLetter()
{
    QString text = QStringLiteral(
        "РЕПУБЛИКА СРБИЈА\nОПШТИНА ЧАЈЕТИНА\nОдељење за урбанизам\nБрој: 404-12/2026-03\nДатум: 3. децембра 2026. "
        "године\nПИБ: 101234569\n\nПредмет: Захтев за издавање услова за пројектовање и прикључење\nна водоводну "
        "мрежу\n\nПоштовани,\n\n");
    const QString paragraph = QStringLiteral(
        "На основу члана 54. Закона о планирању и изградњи („Сл. гласник РС”, бр. 72/2009, 81/2009 и 145/2014), а у "
        "вези са захтевом инвеститора за издавање локацијских услова за изградњу стамбеног објекта на катастарској "
        "парцели број 1234/5 КО Чајетина, молимо Вас да нам у року од 15 дана доставите услове.\n\n");
    for (int i = 0; i < 8; ++i)
        text += paragraph;
    return text;
}

// The machine's cores are shared: the processor time this thread took tells the work apart from the waiting.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

TIntakeDocument page(const QString &text, TTextSource source, double confidence)
{
    TIntakeDocument document;
    document.Pages << TIntakePage{text, source, confidence};
    return document;
}

void run(const char *what, const TIntakeDocument &document, const QList<TIntakePartner> &partners,
         const QStringList &types, int runs)
{
    TIntakeProposals proposals;
    std::vector<double> cpu;
    const double ms = medianMs(runs, [&] {
        const double start = threadCpuMs();
        proposals = ProposeIntake(document, partners, types);
        cpu.push_back(threadCpuMs() - start);
    });
    std::printf("%s (%lld characters): %.1f ms, processor time %.1f ms (target < 100 ms)\n", what,
                qlonglong(document.Text().size()), ms, Median(std::move(cpu)));
    for (const TProposal &p : proposals.Proposals)
        std::printf("    %s: %s [%s, %.2f]\n", qPrintable(ProposalFieldName(p.Field)), qPrintable(p.Value),
                    qPrintable(p.Source), p.Confidence);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("partners"), QStringLiteral("Partners to match against."), QStringLiteral("N"),
                      QStringLiteral("10000")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Runs per measurement."), QStringLiteral("N"),
                      QStringLiteral("21")});
    parser.addHelpOption();
    parser.process(app);
    const int runs = parser.value(QStringLiteral("runs")).toInt();
    const QList<TIntakePartner> list = partners(parser.value(QStringLiteral("partners")).toInt());
    const QStringList types = itemTypes();
    std::printf("%lld partners, %lld item types, median of %d runs\n", qlonglong(list.size()), qlonglong(types.size()),
                runs);

    run("letter, text layer", page(letter(), TTextSource::TextLayer, 1.0), list, types, runs);
    run("letter in Cyrillic", page(cyrillicLetter(), TTextSource::TextLayer, 1.0), list, types, runs);
    run("letter read by OCR at 70%", page(letter(), TTextSource::Ocr, 0.7), list, types, runs);
    TIntakeDocument mail = page(letter(), TTextSource::Mail, 1.0);
    mail.Mail = TMailHeader{QStringLiteral("Opština Čajetina"), QStringLiteral("urbanizam@cajetina.org.rs"),
                            QStringLiteral("Re: Fwd: Zahtev za uslove"), QDateTime(QDate(2026, 12, 3), QTime(10, 15))};
    run("e-mail", mail, list, types, runs);
    return 0;
}
