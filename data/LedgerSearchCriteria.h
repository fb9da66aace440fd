#pragma once
// The search of the ledger as texts: what the search frame's cells hold and
// what a scheduled export gives on its command line. The condition is built
// here, without any widget, so the same words select the same items in both.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

class TZConnection;

struct TLedgerSearchCriteria
{
    // The keys, in the search frame's order; the conditions follow it.
    static const QString Direction, LedgerNumber, DateFrom, DateTo, Partner, ItemNumber, ItemType, InUser, OutUser,
        Accepted, Archived, PassedOn, Year, Subject, Text;
    static const QStringList Keys;

    // Key to text; empty texts are no condition. LedgerNumber, Partner,
    // ItemNumber and ItemType: items whose text starts with it in either script, in any
    // case, with or without diacritics ("cacak" and "Чачак" find "Čačak";
    // TZConnection::FoldedPrefixCondition). Subject: items whose
    // subject has a word beginning with each word typed (SubjectWords.h).
    // Text: items whose fields or document text hold every word typed
    // (TextSearch.h).
    QMap<QString, QString> Texts;
    // The users picked for InUser and OutUser: their texts only name them.
    qint32 InUserID = 0;
    qint32 OutUserID = 0;

    // The condition over the item query's aliases, typed values bound to
    // params. Throws KException with a message for the user on a text that
    // is no date or year, on a key it does not know and on a text the
    // connection cannot search for.
    // With order given, it gets the ORDER BY terms ranking what Text finds,
    // best first (their values to orderParams); empty when Text is not in
    // use: the list's own order then holds.
    QString Condition(const TZConnection *connection, QVariantList &params, QString *order = nullptr,
                      QVariantList *orderParams = nullptr) const;

    // The caption of a key, as the search frame shows it.
    static QString Caption(const QString &key);
    // The caption of a direction given as its caption (any case) or its code
    // (-1, 0, 1); nullopt for anything else.
    static std::optional<QString> DirectionCaption(const QString &text);
};
