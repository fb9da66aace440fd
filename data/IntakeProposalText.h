#pragma once
// A document's text prepared for the proposals: Latin script (Cyrillic
// letters give the same proposals), split into lines, each line also folded
// and as words, with how far its page's reading can be trusted.

#include "data/IntakeDocument.h"

#include <QList>
#include <QString>
#include <QStringList>

struct TIntakeLine
{
    QString Text;      // Latin script, spaces simplified
    QString Folded;    // SerbianFold of Text
    QStringList Words; // Folded split at what is no letter or digit; "d.o.o." is "doo"
    double Factor = 1.0; // what its page's OCR confidence leaves of a proposal's
    bool Letterhead = false; // among the first non-empty lines of a letter: the first page, an e-mail's attachment
};

struct TIntakeText
{
    QList<TIntakeLine> Lines; // blank lines kept (empty Text): they end a paragraph
};

inline constexpr int LetterheadLines = 12;

TIntakeText PrepareIntakeText(const TIntakeDocument &document);

// A page read at OCR confidence c keeps this much of a proposal's confidence:
// all of it from 0.9 up, less below, never under a third.
double OcrFactor(double confidence);

// The words of a folded text, as TIntakeLine::Words.
QStringList FoldedWords(const QString &text);
