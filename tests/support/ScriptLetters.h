#pragma once
// The script of printed text as pdftotext gives it back: the words written
// in Latin letters, and whether any Cyrillic letter is there.

#include <QRegularExpression>
#include <QSet>
#include <QString>

// Words holding a Latin letter (ASCII or Serbian Latin with diacritics), as printed.
inline QSet<QString> LatinWordsIn(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("[\\p{L}]*[A-Za-zČĆŠŽĐčćšžđ][\\p{L}]*"));
    QSet<QString> words;
    for (auto it = word.globalMatch(text); it.hasNext();)
        words.insert(it.next().captured());
    return words;
}

inline bool HasCyrillic(const QString &text)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    return text.contains(cyrillic);
}
