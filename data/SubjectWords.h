#pragma once
// An item's subject (predmet) as the words it is searched by. The subject is
// split here and nowhere else: a word is a run of letters and digits, folded
// with SerbianFold, so "ČAČAK", "Čačak", "cacak" and "Чачак" are one word.
// The words live in the table subjectword beside the item and are rewritten
// in the transaction of every write of the item's subject; a typed word
// finds the items that have a word beginning with it.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariantList>

class TZConnection;

// The longest word kept; a longer one is kept as its beginning, and a typed
// one searched by its beginning, so both still meet.
inline constexpr int SubjectWordLength = 100;

// The folded distinct words of text, in the order they first appear.
QStringList SubjectWords(QStringView text);

// The upper bound of the words beginning with word (not empty): word with its
// last character raised by one. The word columns compare code points, so
// [word, WordRangeEnd(word)) is the whole prefix range.
QString WordRangeEnd(const QString &word);

// Replaces the words kept for itemID with those of subject. Runs in the
// caller's transaction (the item's write); throws EDatabaseError.
void StoreSubjectWords(TZConnection &connection, qint64 itemID, const QString &subject);
// The same for the subject itemID has as stored now: for writes made
// outside the item sets (copies, restored items, generated books).
void StoreStoredSubjectWords(TZConnection &connection, qint64 itemID);

// The condition over the item query's alias l that selects the items whose
// subject has, for every word typed, a word beginning with it; the bounds
// are appended to params. Empty when typed holds no word. One word leads
// (the items are found through it) and the others are checked per item:
// the word with the fewest items as counted on connection, up to a cap, or
// without a connection the longest.
QString SubjectCondition(const QString &typed, QVariantList &params, TZConnection *connection = nullptr);
