#include "IntakeProposalText.h"

#include "SerbianFold.h"

#include <algorithm>

double OcrFactor(double confidence)
{
    return std::clamp(confidence / 0.9, 1.0 / 3, 1.0);
}

QStringList FoldedWords(const QString &folded)
{
    QStringList words;
    QString word;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        if (c.isLetterOrNumber()) {
            word += c;
            continue;
        }
        // A dot after a lone letter joins abbreviations: "d.o.o." is "doo", "a.d." "ad".
        if (c == u'.' && i > 0 && folded.at(i - 1).isLetter() && (i < 2 || !folded.at(i - 2).isLetterOrNumber()))
            continue;
        if (!word.isEmpty())
            words << word;
        word.clear();
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

TIntakeText PrepareIntakeText(const TIntakeDocument &document)
{
    TIntakeText text;
    for (qsizetype page = 0; page < document.Pages.size(); ++page) {
        const TIntakePage &source = document.Pages.at(page);
        // A letter begins on the first page, and in an e-mail also where its attachment follows the body.
        const bool first = page == 0 || (document.Pages.at(page - 1).Source == TTextSource::Mail &&
                                         source.Source != TTextSource::Mail);
        int nonEmpty = 0;
        const double factor = source.Source == TTextSource::Ocr ? OcrFactor(source.Confidence) : 1.0;
        const QStringList lines = SerbianToLatin(source.Text).split(u'\n');
        for (const QString &raw : lines) {
            TIntakeLine line;
            line.Text = raw.simplified();
            line.Factor = factor;
            // A reply's quoted lines are the earlier message's: its number and date are not the sender's.
            if (source.Source == TTextSource::Mail && line.Text.startsWith(u'>'))
                line.Text.clear();
            if (!line.Text.isEmpty()) {
                line.Folded = SerbianFold(line.Text);
                line.Words = FoldedWords(line.Folded);
                line.Letterhead = first && nonEmpty++ < LetterheadLines;
            }
            text.Lines << line;
        }
        text.Lines << TIntakeLine{};
    }
    return text;
}
