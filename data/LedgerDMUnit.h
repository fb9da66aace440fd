#pragma once
// The ledger's one data module: the shared ledger item query and every rule
// on ledger items (captions of the coded columns, numbering, validations,
// deletion rules, copying, the scanned-documents directory). Every write of an
// item, copies included, leaves its entry in the history (LedgerHistory.h).

#include "CustomDM.h"
#include "ZQuery.h"
#include "DataSource.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QStringList>
#include <optional>

using TStringArr = QStringList;

// Caption table indexed by code from Low() on.
class TCaptionMap
{
public:
    explicit TCaptionMap(int low) : m_low(low) {}
    int Low() const { return m_low; }
    int High() const { return m_low + int(m_texts.size()) - 1; }
    int Count() const { return int(m_texts.size()); }
    bool Contains(int code) const { return code >= Low() && code <= High(); }
    const QString &operator[](int code) const { return m_texts[code - m_low]; }
    void Fill(const QStringList &texts) { m_texts = texts; }
    void Clear() { m_texts.clear(); }

private:
    int m_low;
    QStringList m_texts;
};

extern Q_DECL_EXPORT TCaptionMap DirectionMap; // -1 outgoing, 0 internal, 1 incoming
extern Q_DECL_EXPORT TCaptionMap MailTypeMap;  // 1..5

// Caption of a code; empty text for a code without one.
QString GetDirectionCaption(int code);
QString GetMailTypeCaption(int code);
// Code of a caption (exact comparison); any other text gives 3.
int GetMailType(const QString &caption);
// The ledger-number rule of the field validations.
bool TestLedgerNumber(TField &field);

class TLedgerDM : public TCustomDM
{
    Q_OBJECT
public:
    explicit TLedgerDM(QObject *owner = nullptr);
    ~TLedgerDM() override;

    // The query text with its condition replaced; the query is not touched.
    QString LedgerItemChangeSQLCondition(const QString &condition) const;
    // The logged-in user's id, or -1.
    int GetUserID() const;
    // Code of a direction caption: "Izlazni" -1, "Ulazni" 1, anything else 0.
    int GetDirection(const QString &caption) const;
    // The sequence number the next item of that direction and year gets.
    int GetLedgerIndex(const QDateTime &dateTime, int direction);
    // The ledger number a new item of that direction gets when registered at
    // dateTime: its sequence number and the year's last two digits ("12/25").
    QString NextLedgerNumber(const QDateTime &dateTime, int direction);
    // True when item, or an item it is linked to (following the links up), is
    // target: linking target to item would make a loop.
    bool LinksBackTo(qint64 item, qint64 target);
    // Copies an item with the listed columns replaced; the new item's id, or
    // 0 when there is no such item.
    int CopyLedgerItem(int itemID, const TStringArr &assignments);
    // Makes an additional item of itemID: numbered after it with the count of
    // its children + 1 as suffix, or the next suffix that is free, without
    // document number, not accepted, with itemID as parent. The new item's id.
    int AddAdditionalItem(int itemID);
    // Passes itemID on: a copy registered now by userID, coming from the
    // item's recipient, with no recipient of its own, under the passed-on copy
    // of the item's parent. nullopt when the item was passed on already.
    // Both run in one transaction that holds itemID's row, so two desks
    // acting on one item at once take turns.
    std::optional<int> PassOnLedgerItem(int itemID, int userID);
    // The scanned-documents directory, or empty text when the user cancels.
    QString GetScannedDocumentFilePath();
    // The ini file beside the host executable, named after it.
    static QString ApplicationIniFileName();
    // [Ledger] OpenOnToday of that ini: whether the list opens on today's
    // items; on unless set to 0.
    static bool OpenOnToday(const QString &iniPath);

    QList<QImage> ImageList;
    TZQuery *LedgerItemZQ = nullptr;
    TDataSource *LedgerItemDS = nullptr;

    TField *LedgerItemZQledgeritemid = nullptr;
    TField *LedgerItemZQdirection = nullptr;
    TField *LedgerItemZQledgerdatetime = nullptr;
    TField *LedgerItemZQledgernumber = nullptr;
    TField *LedgerItemZQpartnerid = nullptr;
    TField *LedgerItemZQdocumentid = nullptr;
    TField *LedgerItemZQitemtype = nullptr;
    TField *LedgerItemZQitemnumber = nullptr;
    TField *LedgerItemZQitemdate = nullptr;
    TField *LedgerItemZQparentid = nullptr;
    TField *LedgerItemZQinmailtype = nullptr;
    TField *LedgerItemZQinmailnumber = nullptr;
    TField *LedgerItemZQoutmailtype = nullptr;
    TField *LedgerItemZQoutmailnumber = nullptr;
    TField *LedgerItemZQinuserid = nullptr;
    TField *LedgerItemZQuserid = nullptr;
    TField *LedgerItemZQoutuserid = nullptr;
    TField *LedgerItemZQaccepted = nullptr;
    TField *LedgerItemZQarchived = nullptr;
    TField *LedgerItemZQarchivednumber = nullptr;
    TField *LedgerItemZQpassonparentid = nullptr;
    TField *LedgerItemZQlinkedto = nullptr;
    TField *LedgerItemZQpartnername = nullptr;
    TField *LedgerItemZQdocumentnumber = nullptr;
    TField *LedgerItemZQinusername = nullptr;
    TField *LedgerItemZQusername = nullptr;
    TField *LedgerItemZQoutusername = nullptr;

    static const QString LedgerItemSQL;

protected:
    void CreateFieldValidations() override;
    void CreateRelations() override {}
    void DataModuleCreate() override;

private:
    void LedgerItemZQNewRecord(TDataSet &dataSet);
    void LedgerItemZQBeforeDelete(TDataSet &dataSet);
    // "Sačuvano: 9/26" and "Obrisano: 9/26" in the console's status bar.
    void LedgerItemZQAfterPost(TDataSet &dataSet);
    void LedgerItemZQAfterDelete(TDataSet &dataSet);
    void LedgerItemZQDeleteCheck(TZConnection &connection, const QVariant &key);
    void LedgerItemZQPostError(TDataSet &dataSet, const EDatabaseError &error);
    void LedgerItemZQdirectionGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQdirectionSetText(TField &sender, const QString &text);
    void LedgerItemZQacceptedGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQacceptedSetText(TField &sender, const QString &text);
    void LedgerItemZQinmailtypeGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQinmailtypeSetText(TField &sender, const QString &text);
    void LedgerItemZQoutmailtypeGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQoutmailtypeSetText(TField &sender, const QString &text);
    void createLayout();
    // One attempt each; the public calls repeat them after a write conflict.
    int addAdditionalItem(TZConnection &connection, int itemID);
    std::optional<int> passOnLedgerItem(TZConnection &connection, int itemID, int userID);

    QString FDeletingNumber; // the number of the item being deleted, for the message after
};

extern Q_DECL_EXPORT TLedgerDM *LedgerDM;

// Unit start-up and shut-down work.
void LedgerDMUnit_Initialize();
void LedgerDMUnit_Finalize();
