#pragma once
// Accepting handed-over items into a kept handover record, one item at a
// time, each in a transaction of its own that holds the item's row: the item
// is accepted only when, as stored, it is still meant for the recipient, not
// accepted and not cancelled, and the UPDATE itself carries that condition.
// An item re-addressed, accepted, cancelled, closed with its year or deleted
// meanwhile is skipped with the reason and never stops the others.
//
// The record (its number per year from the handovercounter row, its time
// from the database) is made with the first acceptance; later ones add rows
// to it. The recipient may withdraw an acceptance of the same record; the
// record keeps both rows.

#include "KInterfaces.h"
#include "data/LedgerHistory.h"

#include <QList>
#include <QSet>
#include <QString>

class TZConnection;
struct THandoverStoredItem;

struct THandoverSkip
{
    QString Number; // as the recipient's list showed it
    QString Reason; // "obrisana", "već prihvaćena", "preusmerena na Marko Jovanović" ...
};

// "Nisu prihvaćene: 5/26 (preusmerena na Marko Jovanović), 7/26 (obrisana)";
// withdrawals begin "Nisu vraćene: ". Empty when nothing was skipped.
QString HandoverSkipMessage(const QList<THandoverSkip> &skipped, bool withdrawing = false);

// "Zapisnik 12/26".
QString HandoverRecordTitle(int year, int number);

class THandoverAcceptance
{
public:
    THandoverAcceptance(TZConnection &connection, const TUserDesc &recipient, const THistoryActor &actor);

    // True when stored; false when skipped (the reason goes to Skipped()).
    // Database errors other than a closed year's refusal are thrown.
    bool Accept(qint64 itemID, const QString &listedNumber);
    // Back to not accepted, for an item this record accepted.
    bool Withdraw(qint64 itemID, const QString &listedNumber);

    bool AcceptedHere(qint64 itemID) const { return m_accepted.contains(itemID); }
    // 0 until the first acceptance made the record.
    qint64 RecordID() const { return m_recordID; }
    QString RecordTitle() const;

    // The skips since the last call, in order.
    QList<THandoverSkip> TakeSkipped();

private:
    QString acceptRefusal(const THandoverStoredItem &item) const;
    bool store(qint64 itemID, const QString &listedNumber, bool accept);
    void ensureRecord();
    void insertRow(const THandoverStoredItem &item, qint64 itemID, QChar action);

    TZConnection &m_connection;
    TUserDesc m_recipient;
    THistoryActor m_actor;
    qint64 m_recordID = 0;
    int m_year = 0;
    int m_number = 0;
    QSet<qint64> m_accepted;
    QList<THandoverSkip> m_skipped;
};
