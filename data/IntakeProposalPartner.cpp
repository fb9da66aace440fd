#include "IntakeProposalPartner.h"

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
    QStringList emails = partner.Email.toLower().split(separators, Qt::SkipEmptyParts);
    return emails;
}

QString percent(double score)
{
    return QStringLiteral("%1%").arg(qRound(score * 100));
}

void matchNames(const TPartnerNameIndex &index, const QStringList &words, double factor, const QString &where,
                QHash<qsizetype, TPartnerEvidence> &evidence)
{
    for (const TPartnerNameIndex::TMatch &match : index.Match(words)) {
        const double confidence = 0.88 * match.Score * factor;
        if (confidence >= 0.2)
            evidence[match.Partner].Add(ByName, confidence,
                                        QStringLiteral("%1, sličnost %2").arg(where, percent(match.Score)));
    }
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

QStringList FindEmails(const TIntakeText &text)
{
    static const QRegularExpression email(QStringLiteral("[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}"));
    QStringList found;
    for (const TIntakeLine &line : text.Lines)
        for (auto it = email.globalMatch(line.Text); it.hasNext();)
            found << it.next().captured(0).toLower();
    found.removeDuplicates();
    return found;
}

QList<TProposal> ProposePartners(const TIntakeText &text, const std::optional<TMailHeader> &mail,
                                 const QList<TIntakePartner> &partners)
{
    QHash<qsizetype, TPartnerEvidence> evidence;

    QHash<QString, qsizetype> byPib;
    QHash<QString, qsizetype> byEmail;
    QHash<QString, QList<qsizetype>> byDomain;
    for (qsizetype i = 0; i < partners.size(); ++i) {
        const QString pib = partners.at(i).Pib.trimmed();
        if (!pib.isEmpty())
            byPib.insert(pib, i);
        for (const QString &address : partnerEmails(partners.at(i))) {
            byEmail.insert(address, i);
            if (!byDomain.value(emailDomain(address)).contains(i))
                byDomain[emailDomain(address)] << i;
        }
    }

    // Later PIBs are more often the addressee's own or a third party's.
    double rank = 0.0;
    for (const TFoundPib &found : FindPibs(text)) {
        const auto partner = byPib.constFind(found.Pib);
        if (partner != byPib.cend())
            evidence[*partner].Add(ByPib, ((found.Labelled ? 0.98 : 0.93) - rank) * found.Factor,
                                   QStringLiteral("PIB %1 u tekstu").arg(found.Pib));
        rank = std::min(rank + 0.04, 0.2);
    }

    if (mail && !mail->SenderAddress.isEmpty()) {
        const QString address = mail->SenderAddress.toLower();
        const QString domain = emailDomain(address);
        if (const auto partner = byEmail.constFind(address); partner != byEmail.cend())
            evidence[*partner].Add(ByEmail, 0.92, QStringLiteral("adresa e-pošte"));
        else if (!isPublicMailDomain(domain) && byDomain.value(domain).size() == 1)
            evidence[byDomain.value(domain).first()].Add(ByEmail, 0.7, QStringLiteral("domen e-pošte %1").arg(domain));
    }
    for (const QString &address : FindEmails(text))
        if (const auto partner = byEmail.constFind(address); partner != byEmail.cend())
            evidence[*partner].Add(ByEmail, 0.85, QStringLiteral("adresa e-pošte %1 u tekstu").arg(address));

    const TPartnerNameIndex names(partners);
    if (mail && !mail->SenderName.isEmpty())
        matchNames(names, FoldedWords(SerbianFold(mail->SenderName)), 1.0, QStringLiteral("ime pošiljaoca e-pošte"),
                   evidence);
    for (const TIntakeLine &line : text.Lines) {
        if (line.Words.isEmpty())
            continue;
        // A name in the letterhead is the sender's; further down it is often someone mentioned.
        matchNames(names, line.Words, line.Factor * (line.Letterhead ? 1.0 : 0.75),
                   line.Letterhead ? QStringLiteral("zaglavlje dopisa") : QStringLiteral("naziv u tekstu"), evidence);
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
        const QStringList emails = FindEmails(text);
        if (!emails.isEmpty())
            hint.Email = emails.first();
    }
    hint.Address = findAddress(text);
    if (hint.Name.isEmpty() && hint.Pib.isEmpty() && hint.Email.isEmpty() && hint.Address.isEmpty())
        return std::nullopt;
    return hint;
}
