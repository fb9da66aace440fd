#pragma once
// The search row "Tekst": the items whose subject, partner name, document
// type, ledger number, sender's number or kept document text hold every word
// typed. A word is matched at a word's beginning, folded (SerbianFold: case,
// diacritics and script do not matter), so "cuprij" and "ЋУПРИЈ" both find
// "Ćuprija". Every source is found through an index: the word tables
// (subjectword, documentword), the partners' and the types' names read and
// folded here (a few thousand at most), and the number columns' indexes.
// A typed text that a ledger or sender's number begins with finds that item
// too, whole ("404-12/2026-03").

#include <QString>
#include <QStringList>
#include <QVariantList>

class TZConnection;

// The condition over the item query's alias l, and ORDER BY terms over it
// ranking the items found: each word found in the document text or the
// subject counts 3, in the partner's name 2, in the type or a number 1; ties
// newest first. Both empty when typed holds no word. Typed values are bound:
// the condition's appended to params, the order's to orderParams.
struct TTextSearch
{
    QString Condition;
    QString Order;
};
TTextSearch TextSearch(const QString &typed, TZConnection &connection, QVariantList &params, QVariantList &orderParams);

// The part of text around the first place a typed word begins a word:
// "…reči oko pogotka…", about width characters, cut at blanks; lines joined.
// Empty when no typed word is in text.
QString MatchingPassage(const QString &text, const QString &typed, int width = 120);
