#include "IntakeProposalPatterns.h"

#include "SerbianFold.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

constexpr auto Options = QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;

TProposal proposal(TProposalField field, const QString &value, double confidence, const QString &source,
                   const TIntakeLine &line)
{
    TProposal p;
    p.Field = field;
    p.Value = value;
    p.Confidence = confidence * line.Factor;
    p.Source = line.Factor < 1.0 ? source + QStringLiteral(" (slabo čitljiv sken)") : source;
    return p;
}

// Each value once, at its best; best first, then in the order found; a few.
QList<TProposal> bestFirst(const QList<TProposal> &found)
{
    QList<TProposal> best;
    QHash<QString, qsizetype> at;
    for (const TProposal &p : found) {
        const auto seen = at.constFind(p.Value);
        if (seen == at.cend()) {
            at.insert(p.Value, best.size());
            best << p;
        } else if (p.Confidence > best.at(*seen).Confidence) {
            best[*seen] = p;
        }
    }
    std::stable_sort(best.begin(), best.end(),
                     [](const TProposal &a, const TProposal &b) { return a.Confidence > b.Confidence; });
    if (best.size() > 3)
        best.resize(3);
    return best;
}

// The folded words just before position at of the line.
QStringList wordsBefore(const TIntakeLine &line, qsizetype at, int count)
{
    const QStringList words = FoldedWords(SerbianFold(line.Text.left(at)));
    return words.mid(std::max<qsizetype>(0, words.size() - count));
}

bool refersToAddressee(const QStringList &words)
{
    return std::any_of(words.cbegin(), words.cend(), [](const QString &w) { return w.startsWith(QStringLiteral("vas")); });
}

// "Primljeno: 5.12.2026" on a scanned letter is the desk's own receipt stamp.
bool isReceiptStamp(const QStringList &words)
{
    return std::any_of(words.cbegin(), words.cend(), [](const QString &w) { return w.startsWith(QStringLiteral("primljen")); });
}

// Numbers that are someone else's: an official gazette's, an account's, a phone's, an ID's, and the
// ledger number of the desk's own receipt stamp.
bool isOtherNumber(const QStringList &before)
{
    static const QSet<QString> other{"delovodni", "maticni", "racun", "racuna", "tekuci", "ziro", "telefon", "telefona",
                                     "tel", "faks", "fax", "pib", "jmbg", "licne", "karte", "pasosa",
                                     "registarski", "postanski", "glasnik", "glasnika", "sluzbeni", "sl"};
    return std::any_of(before.cbegin(), before.cend(), [](const QString &w) { return other.contains(w); });
}

std::optional<QDate> calendarDate(int day, int month, int year)
{
    if (year < 100)
        year += 2000;
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1900 || year > 2100)
        return std::nullopt;
    return date;
}

int monthNumber(const QString &stem)
{
    static const QStringList months{"januar", "februar", "mart", "april", "maj", "jun",
                                    "jul", "avgust", "septemb", "oktob", "novemb", "decemb"};
    return int(months.indexOf(stem.toLower())) + 1;
}

struct TDateFound
{
    QDate Date;
    qsizetype At = 0;
    qsizetype End = 0;
};

QList<TDateFound> datesIn(const QString &line)
{
    static const QRegularExpression numeric(
        QStringLiteral("(?<![\\d.])(\\d{1,2}) ?\\. ?(\\d{1,2}) ?\\. ?(\\d{4}|\\d{2})(?![\\d])"), Options);
    static const QRegularExpression iso(QStringLiteral("(?<![\\d.-])(\\d{4})-(\\d{2})-(\\d{2})(?![\\d])"), Options);
    static const QRegularExpression named(
        QStringLiteral("(?<![\\d])(\\d{1,2})\\.? ?(januar|februar|mart|april|maj|jun|jul|avgust|septemb|oktob|novemb|"
                       "decemb)(\\p{L}{0,3}) ?(\\d{4})(?![\\d])"),
        Options);
    QList<TDateFound> found;
    for (auto it = numeric.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        if (const auto date = calendarDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()))
            found << TDateFound{*date, m.capturedStart(), m.capturedEnd()};
    }
    for (auto it = iso.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        if (const auto date = calendarDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt()))
            found << TDateFound{*date, m.capturedStart(), m.capturedEnd()};
    }
    for (auto it = named.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        if (const auto date = calendarDate(m.captured(1).toInt(), monthNumber(m.captured(2)), m.captured(4).toInt()))
            found << TDateFound{*date, m.capturedStart(), m.capturedEnd()};
    }
    std::sort(found.begin(), found.end(), [](const TDateFound &a, const TDateFound &b) { return a.At < b.At; });
    return found;
}

bool isNumberLabelled(const TIntakeLine &line)
{
    return line.Words.contains(QStringLiteral("broj")) || line.Words.contains(QStringLiteral("br"));
}

// Whether next carries on the subject line current ends.
bool continues(const QString &current, const QString &next)
{
    static const QRegularExpression label(QStringLiteral("^\\p{L}[\\p{L} ]{0,20}:"), Options);
    static const QSet<QString> connectives{"i", "u", "za", "o", "na", "sa", "od", "po", "iz", "radi", "kod", "ili",
                                           "te", "a", "do", "prema", "ka", "koji", "koja", "koje", "kojim"};
    if (next.isEmpty() || label.match(next).hasMatch() || SerbianFold(next).startsWith(QStringLiteral("postovan")))
        return false;
    const QStringList words = FoldedWords(SerbianFold(current));
    return next.at(0).isLower() || current.endsWith(u',') || current.endsWith(u'-') ||
           (!words.isEmpty() && connectives.contains(words.last()));
}

bool wordMatches(const QString &word, const QString &typeWord)
{
    if (word == typeWord)
        return true;
    if (typeWord.size() < 5)
        return false;
    // Declined forms: "rešenja", "fakture", "zahteva".
    const QString stem = QStringLiteral("aeiou").contains(typeWord.back()) ? typeWord.chopped(1) : typeWord;
    return word.startsWith(stem) && word.size() - stem.size() <= 3;
}

// Where the type's words stand in the line's words, -1 when they do not.
qsizetype phraseAt(const QStringList &words, const QStringList &phrase)
{
    for (qsizetype i = 0; i + phrase.size() <= words.size(); ++i) {
        qsizetype j = 0;
        while (j < phrase.size() && wordMatches(words.at(i + j), phrase.at(j)))
            ++j;
        if (j == phrase.size())
            return i;
    }
    return -1;
}

bool isSubjectLine(const TIntakeLine &line)
{
    return !line.Words.isEmpty() && line.Words.first() == QStringLiteral("predmet");
}

} // namespace

QList<TProposal> ProposeNumbers(const TIntakeText &text)
{
    static const QRegularExpression number(
        QStringLiteral("(?<!\\p{L})((?:na[sš] +|va[sš] +)?(?:broj|br)(?!\\p{L})\\.?) *:? *"
                       "((?:\\p{L}{1,5}-)?\\d[\\p{L}\\d]*(?:[-/.][\\p{L}\\d]+)*)"),
        Options);
    QList<TProposal> found;
    for (const TIntakeLine &line : text.Lines) {
        if (line.Words.contains(QStringLiteral("glasnik")) || line.Words.contains(QStringLiteral("glasniku")))
            continue;
        for (auto it = number.globalMatch(line.Text); it.hasNext();) {
            const auto m = it.next();
            const QString label = m.captured(1);
            const QStringList before = wordsBefore(line, m.capturedStart(), 3);
            if (SerbianFold(label).startsWith(QStringLiteral("vas")) || refersToAddressee(before) ||
                isOtherNumber(before))
                continue;
            const QString source = QStringLiteral("„%1“ u tekstu").arg(label);
            const qsizetype wordsAhead = FoldedWords(SerbianFold(line.Text.left(m.capturedStart()))).size();
            double confidence = 0.45;
            if (SerbianFold(label).startsWith(QStringLiteral("nas")))
                confidence = 0.9;
            else if (wordsAhead == 0)
                confidence = 0.85;
            else if (wordsAhead <= 2 && line.Text.at(0).isUpper())
                confidence = 0.8; // "Faktura broj: 123", "Zahtev br. 5"
            found << proposal(TProposalField::ItemNumber, m.captured(2), confidence,
                              confidence < 0.5 ? QStringLiteral("broj u rečenici") : source, line);
        }
    }
    return bestFirst(found);
}

QList<TProposal> ProposeDates(const TIntakeText &text, const std::optional<TMailHeader> &mail)
{
    static const QRegularExpression placeAndDate(QStringLiteral("^\\p{L}[\\p{L} ]*, *$"), Options);
    QList<TProposal> found;
    for (const TIntakeLine &line : text.Lines) {
        qsizetype previous = 0;
        for (const TDateFound &date : datesIn(line.Text)) {
            const QString ahead = line.Text.left(date.At);
            const QStringList before = wordsBefore(line, date.At, 3);
            // "Vaš broj 55/26 od 1.12.2026": the addressee's, however far back "Vaš" stands.
            const QStringList since = FoldedWords(SerbianFold(line.Text.mid(previous, date.At - previous)));
            previous = date.End;
            if (refersToAddressee(since) || isReceiptStamp(since))
                continue;
            const QStringList words = FoldedWords(SerbianFold(ahead));
            double confidence = 0.45;
            QString source = QStringLiteral("datum u tekstu");
            if (words.contains(QStringLiteral("datum")) || words.contains(QStringLiteral("dana"))) {
                confidence = 0.9;
                source = words.contains(QStringLiteral("datum")) ? QStringLiteral("„Datum“ u tekstu")
                                                                 : QStringLiteral("„Dana“ u tekstu");
            } else if (before.contains(QStringLiteral("od")) && isNumberLabelled(line)) {
                confidence = 0.9;
                source = QStringLiteral("datum uz broj dopisa");
            } else if (line.Letterhead && placeAndDate.match(ahead).hasMatch()) {
                confidence = 0.85;
                source = QStringLiteral("mesto i datum u zaglavlju");
            } else if (line.Letterhead) {
                confidence = 0.7;
                source = QStringLiteral("datum u zaglavlju");
            }
            TProposal p = proposal(TProposalField::ItemDate, date.Date.toString(QStringLiteral("dd.MM.yyyy")),
                                   confidence, source, line);
            p.Date = date.Date;
            found << p;
        }
    }
    if (mail && mail->Sent.isValid()) {
        TProposal p = proposal(TProposalField::ItemDate, mail->Sent.date().toString(QStringLiteral("dd.MM.yyyy")), 0.7,
                               QStringLiteral("datum e-pošte"), TIntakeLine{});
        p.Date = mail->Sent.date();
        found << p;
    }
    return bestFirst(found);
}

QString MailSubjectWithoutMarks(const QString &subject)
{
    static const QRegularExpression mark(
        QStringLiteral("^\\s*(?:re|fwd?|odg|odgovor|aw|wg|sv|tr|prosl|prosleđeno)\\s*(?:\\[\\d+\\])?\\s*:\\s*"), Options);
    QString rest = subject.simplified();
    for (qsizetype before = -1; before != rest.size();) {
        before = rest.size();
        rest.remove(mark);
    }
    return rest;
}

QList<TProposal> ProposeSubjects(const TIntakeText &text, const std::optional<TMailHeader> &mail)
{
    static const QRegularExpression labelled(QStringLiteral("^predmet *[:–-] *(.*)$"), Options);
    QList<TProposal> found;
    for (qsizetype i = 0; i < text.Lines.size(); ++i) {
        const auto m = labelled.match(text.Lines.at(i).Text);
        if (!m.hasMatch())
            continue;
        QString subject = m.captured(1);
        qsizetype next = i + 1;
        // "Predmet:" alone: the subject is on the next line.
        if (subject.isEmpty() && next < text.Lines.size())
            subject = text.Lines.at(next++).Text;
        for (int more = 0; more < 3 && next < text.Lines.size() && continues(subject, text.Lines.at(next).Text);
             ++more, ++next) {
            const QString &line = text.Lines.at(next).Text;
            if (subject.endsWith(u'-') && subject.size() > 1 && subject.at(subject.size() - 2).isLetter() &&
                line.at(0).isLower())
                subject = subject.chopped(1) + line; // a word broken at the line's end
            else
                subject += u' ' + line;
        }
        if (!subject.isEmpty())
            found << proposal(TProposalField::Subject, subject, 0.9, QStringLiteral("„Predmet“ u tekstu"),
                              text.Lines.at(i));
    }
    if (mail) {
        // In Latin, as the letter's own "Predmet:" is proposed.
        const QString subject = MailSubjectWithoutMarks(SerbianToLatin(mail->Subject));
        if (!subject.isEmpty())
            found << proposal(TProposalField::Subject, subject, found.isEmpty() ? 0.8 : 0.7,
                              QStringLiteral("tema e-pošte"), TIntakeLine{});
    }
    return bestFirst(found);
}

QList<TProposal> ProposeItemTypes(const TIntakeText &text, const std::optional<TMailHeader> &mail,
                                 const QStringList &itemTypes)
{
    QList<QStringList> phrases;
    for (const QString &type : itemTypes)
        phrases << FoldedWords(SerbianFold(type));
    QList<TProposal> found;
    // An e-mail's subject names the kind as a letter's "Predmet:" does.
    const QStringList subjectWords = mail ? FoldedWords(SerbianFold(mail->Subject)) : QStringList();
    for (qsizetype t = 0; t < itemTypes.size(); ++t)
        if (!phrases.at(t).isEmpty() && phraseAt(subjectWords, phrases.at(t)) >= 0)
            found << proposal(TProposalField::ItemType, itemTypes.at(t), 0.7, QStringLiteral("tema e-pošte"), TIntakeLine{});
    for (const TIntakeLine &line : text.Lines) {
        const bool subject = isSubjectLine(line);
        if (line.Words.isEmpty() || (!line.Letterhead && !subject))
            continue;
        const bool title = line.Text == line.Text.toUpper();
        for (qsizetype t = 0; t < itemTypes.size(); ++t) {
            if (phrases.at(t).isEmpty())
                continue;
            const qsizetype at = phraseAt(line.Words, phrases.at(t));
            if (at < 0)
                continue;
            if (at == 0 && (title || line.Words.size() == phrases.at(t).size()))
                found << proposal(TProposalField::ItemType, itemTypes.at(t), 0.85, QStringLiteral("naslov dokumenta"), line);
            else if (subject)
                found << proposal(TProposalField::ItemType, itemTypes.at(t), 0.7, QStringLiteral("predmet dopisa"), line);
            else
                found << proposal(TProposalField::ItemType, itemTypes.at(t), 0.5, QStringLiteral("početak dokumenta"), line);
        }
    }
    return bestFirst(found);
}
