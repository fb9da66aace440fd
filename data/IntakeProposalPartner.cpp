#include "IntakeProposalPartner.h"

#include "InterfaceScript.h"
#include "SerbianFold.h"
#include "data/IntakeProposalNames.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

// How a partner was recognised; the same kind twice adds nothing.
enum TPartnerClue
{
    ByPib,
    ByEmail,
    ByName,
    ClueCount
};

struct TPartnerEvidence
{
    double Confidence[ClueCount] = {};
    QString Source[ClueCount];

    void Add(TPartnerClue clue, double confidence, const QString &source)
    {
        if (confidence > Confidence[clue]) {
            Confidence[clue] = confidence;
            Source[clue] = source;
        }
    }
    // Independent clues agreeing make the partner surer.
    TProposal Proposal(const TIntakePartner &partner) const
    {
        double doubt = 1.0;
        QStringList sources;
        for (int clue = 0; clue < ClueCount; ++clue) {
            doubt *= 1.0 - Confidence[clue];
            if (!Source[clue].isEmpty())
                sources << Source[clue];
        }
        TProposal proposal;
        proposal.Field = TProposalField::Partner;
        proposal.Value = partner.Name;
        proposal.PartnerID = partner.PartnerID;
        proposal.Source = sources.join(QStringLiteral("; "));
        proposal.Confidence = std::min(0.99, 1.0 - doubt);
        return proposal;
    }
};

QString emailDomain(const QString &address)
{
    return address.section(u'@', 1).toLower();
}

// Mail services anyone has an address at: their domain names nobody.
bool isPublicMailDomain(const QString &domain)
{
    static const QSet<QString> domains{"gmail.com", "googlemail.com", "yahoo.com", "hotmail.com", "outlook.com",
                                       "live.com", "icloud.com", "gmx.com", "gmx.net", "proton.me",
                                       "protonmail.com", "yandex.com", "eunet.rs", "mts.rs", "sbb.rs",
                                       "open.telekom.rs", "ptt.rs", "orion.rs", "beotel.rs"};
    return domains.contains(domain);
}

QStringList partnerEmails(const TIntakePartner &partner)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    return partner.Email.toLower().split(separators, Qt::SkipEmptyParts);
}

QString percent(double score)
{
    return QStringLiteral("%1%").arg(qRound(score * 100));
}

// The best score among the partners named by words.
double matchNames(const TPartnerNameIndex &index, const QStringList &words, double factor, const QString &where,
                  QHash<qsizetype, TPartnerEvidence> &evidence)
{
    double best = 0.0;
    for (const TPartnerNameIndex::TMatch &match : index.Match(words)) {
        best = std::max(best, match.Score);
        const double confidence = 0.88 * match.Score * factor;
        if (confidence >= 0.2)
            evidence[match.Partner].Add(ByName, confidence,
                                        UiText(u"%1, sličnost %2").arg(where, percent(match.Score)));
    }
    return best;
}

QString trimmedName(QString name)
{
    static const QRegularExpression edges(QStringLiteral("^[\\s,;:–-]+|[\\s,;:–-]+$"));
    return name.remove(edges);
}

QString findAddress(const TIntakeText &text)
{
    static const QRegularExpression labelled(QStringLiteral("^(?:adresa|sedi[sš]te)\\s*:\\s*(.+)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression street(QStringLiteral("\\b\\d{5}\\s+\\p{L}|\\p{L}\\s+(?:\\d{1,3}[a-zA-Z]?|bb)\\s*,\\s*\\p{L}"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    for (const TIntakeLine &line : text.Lines) {
        const QRegularExpressionMatch match = labelled.match(line.Text);
        if (match.hasMatch())
            return match.captured(1);
    }
    for (const TIntakeLine &line : text.Lines)
        if (line.Letterhead && street.match(line.Text).hasMatch() && !line.Folded.contains(QStringLiteral("pib")))
            return line.Text;
    return {};
}

} // namespace

bool PibIsValid(QStringView pib)
{
    if (pib.size() != 9)
        return false;
    int product = 10;
    for (int i = 0; i < 9; ++i) {
        if (!pib.at(i).isDigit() || pib.at(i).unicode() > '9')
            return false;
        if (i == 8)
            break;
        int sum = (pib.at(i).unicode() - '0' + product) % 10;
        if (sum == 0)
            sum = 10;
        product = 2 * sum % 11;
    }
    return (11 - product) % 10 == pib.at(8).unicode() - '0';
}

QList<TFoundPib> FindPibs(const TIntakeText &text)
{
    static const QRegularExpression labelled(
        QStringLiteral("\\b(?:PIB|poreski identifikacioni broj)\\s*[:.]?\\s*(?:broj\\s*:?\\s*)?(\\d{9})(?!\\d)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bare(QStringLiteral("(?<![\\d-])\\d{9}(?![\\d-])"));
    QList<TFoundPib> labelledPibs, barePibs;
    QSet<QString> seen;
    for (const TIntakeLine &line : text.Lines) {
        for (auto it = labelled.globalMatch(line.Text); it.hasNext();) {
            const QString pib = it.next().captured(1);
            if (PibIsValid(pib) && !seen.contains(pib)) {
                seen.insert(pib);
                labelledPibs << TFoundPib{pib, true, line.Factor};
            }
        }
    }
    for (const TIntakeLine &line : text.Lines) {
        for (auto it = bare.globalMatch(line.Text); it.hasNext();) {
            const QString pib = it.next().captured(0);
            if (PibIsValid(pib) && !seen.contains(pib)) {
                seen.insert(pib);
                barePibs << TFoundPib{pib, false, line.Factor};
            }
        }
    }
    return labelledPibs << barePibs;
}

QList<TFoundEmail> FindEmails(const TIntakeText &text)
{
    static const QRegularExpression email(QStringLiteral("[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}"));
    QList<TFoundEmail> found;
    QSet<QString> seen;
    for (const TIntakeLine &line : text.Lines)
        for (auto it = email.globalMatch(line.Text); it.hasNext();) {
            const QString address = it.next().captured(0).toLower();
            if (!seen.contains(address)) {
                seen.insert(address);
                found << TFoundEmail{address, line.Factor};
            }
        }
    return found;
}

QList<TProposal> ProposePartners(const TIntakeText &text, const std::optional<TMailHeader> &mail,
                                 const QList<TIntakePartner> &partners)
{
    QHash<qsizetype, TPartnerEvidence> evidence;

    // A few PIBs and addresses against the list: one pass each, no index to build.
    double rank = 0.0;
    for (const TFoundPib &found : FindPibs(text)) {
        for (qsizetype i = 0; i < partners.size(); ++i)
            if (QStringView(partners.at(i).Pib).trimmed() == found.Pib)
                evidence[i].Add(ByPib, ((found.Labelled ? 0.98 : 0.93) - rank) * found.Factor,
                                UiText(u"PIB %1 u tekstu").arg(found.Pib));
        // Later PIBs are more often the addressee's own or a third party's.
        rank = std::min(rank + 0.04, 0.2);
    }
    if (mail && !mail->SenderAddress.isEmpty()) {
        const QString address = mail->SenderAddress.toLower();
        const QString domain = QLatin1Char('@') + emailDomain(address);
        QList<qsizetype> sameDomain;
        bool found = false;
        for (qsizetype i = 0; i < partners.size(); ++i) {
            if (!partners.at(i).Email.contains(domain, Qt::CaseInsensitive))
                continue;
            const QStringList emails = partnerEmails(partners.at(i));
            if (emails.contains(address)) {
                evidence[i].Add(ByEmail, 0.92, UiText(u"adresa e-pošte"));
                found = true;
            } else if (std::any_of(emails.cbegin(), emails.cend(), [&](const QString &e) { return e.endsWith(domain); })) {
                sameDomain << i;
            }
        }
        if (!found && sameDomain.size() == 1 && !isPublicMailDomain(domain.mid(1)))
            evidence[sameDomain.first()].Add(ByEmail, 0.7, UiText(u"domen e-pošte %1").arg(domain.mid(1)));
    }
    for (const TFoundEmail &found : FindEmails(text))
        for (qsizetype i = 0; i < partners.size(); ++i)
            if (partners.at(i).Email.contains(found.Address, Qt::CaseInsensitive) &&
                partnerEmails(partners.at(i)).contains(found.Address))
                evidence[i].Add(ByEmail, 0.85 * found.Factor,
                                UiText(u"adresa e-pošte %1 u tekstu").arg(found.Address));

    // Names: the sender's, the letterhead's, and further down only lines naming an organisation.
    QList<const TIntakeLine *> named;
    QSet<QString> words;
    const QStringList sender = mail ? FoldedWords(SerbianFold(mail->SenderName)) : QStringList();
    words.unite(QSet<QString>(sender.cbegin(), sender.cend()));
    for (const TIntakeLine &line : text.Lines) {
        if (line.Letterhead || std::any_of(line.Words.cbegin(), line.Words.cend(), IsOrganisationWord)) {
            named << &line;
            words.unite(QSet<QString>(line.Words.cbegin(), line.Words.cend()));
        }
    }
    const TPartnerNameIndex names(partners, words);
    if (!sender.isEmpty())
        matchNames(names, sender, 1.0, UiText(u"ime pošiljaoca e-pošte"), evidence);
    // The sender's block comes first in the letterhead: a partner recognised below it is
    // more often the addressee. Further down the text a name is often someone mentioned.
    qsizetype senderBlock = -1;
    for (qsizetype i = 0; i < named.size(); ++i) {
        const TIntakeLine &line = *named.at(i);
        const double place = !line.Letterhead ? 0.75 : senderBlock >= 0 && i > senderBlock + 1 ? 0.8 : 1.0;
        double best = matchNames(names, line.Words, line.Factor * place,
                                 line.Letterhead ? UiText(u"zaglavlje dopisa") : UiText(u"naziv u tekstu"),
                                 evidence);
        // A long name goes on over two lines of the letterhead.
        if (line.Letterhead && i + 1 < named.size() && named.at(i + 1)->Letterhead)
            best = std::max(best, matchNames(names, line.Words + named.at(i + 1)->Words, line.Factor * place,
                                             UiText(u"zaglavlje dopisa"), evidence));
        if (line.Letterhead && senderBlock < 0 && best >= IntakeThreshold)
            senderBlock = i;
    }

    QList<TProposal> proposals;
    for (auto it = evidence.cbegin(); it != evidence.cend(); ++it)
        proposals << it->Proposal(partners.at(it.key()));
    std::sort(proposals.begin(), proposals.end(), [](const TProposal &a, const TProposal &b) {
        return a.Confidence != b.Confidence ? a.Confidence > b.Confidence : a.Value < b.Value;
    });
    if (proposals.size() > 3)
        proposals.resize(3);
    return proposals;
}

std::optional<TNewPartnerHint> NewPartnerHint(const TIntakeText &text, const std::optional<TMailHeader> &mail)
{
    TNewPartnerHint hint;
    if (mail && !mail->SenderName.contains(u'@'))
        hint.Name = mail->SenderName;
    for (qsizetype i = 0; hint.Name.isEmpty() && i < text.Lines.size(); ++i) {
        const TIntakeLine &line = text.Lines.at(i);
        if (line.Letterhead && std::any_of(line.Words.cbegin(), line.Words.cend(), IsOrganisationWord))
            hint.Name = trimmedName(line.Text);
    }
    const QList<TFoundPib> pibs = FindPibs(text);
    if (!pibs.isEmpty())
        hint.Pib = pibs.first().Pib;
    if (mail)
        hint.Email = mail->SenderAddress;
    if (hint.Email.isEmpty()) {
        const QList<TFoundEmail> emails = FindEmails(text);
        if (!emails.isEmpty())
            hint.Email = emails.first().Address;
    }
    hint.Address = findAddress(text);
    if (hint.Name.isEmpty() && hint.Pib.isEmpty() && hint.Email.isEmpty() && hint.Address.isEmpty())
        return std::nullopt;
    return hint;
}
