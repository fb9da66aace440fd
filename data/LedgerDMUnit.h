#pragma once
// The ledger's one data module: every rule on ledger items (captions of the
// coded columns, numbering, validations, deletion rules, copying, the
// scanned-documents directory) and the factory of the item sets each window
// owns (LedgerItems.h). Every write of an item, copies included, leaves its
// entry in the history (LedgerHistory.h).

#include "CustomDM.h"
#include "LedgerContext.h"
#include "LedgerHistory.h"
#include "LedgerItems.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QStringList>
#include <memory>
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
// Code of a caption (exact comparison, in either script); any other text gives 3.
int GetMailType(const QString &caption);
// A coded column's caption as the interface shows it, in the user's script,
// made once per script: grids ask for it on every paint. The captions above
// stay Latin, as history entries store them.
QString ShownCaption(const QString &latin);
// The ledger-number rule of the field validations.
bool TestLedgerNumber(TField &field);

class TLedgerDM : public TCustomDM
{
    Q_OBJECT
public:
    explicit TLedgerDM(QObject *owner = nullptr);
    ~TLedgerDM() override;

    // What the module knows of its host (user, status bar, services); the
    // module's entry hands it over. Null: no user, no services.
    void SetContext(ILedgerContext *context) { m_context = context; }
    ILedgerContext *Context() const { return m_context; }

    // Hands over the connection to the module and every item set.
    void SetZConnection(TZConnection *connection);

    // The columns' field objects (labels, captions of codes), never opened.
    const TLedgerItems &Layout() const { return *m_layout; }
    // A window's own ledger items, on the module's connection.
    std::unique_ptr<TLedgerItems> NewLedgerItems(QObject *parent = nullptr);

    // The ledger's SELECT with its condition replaced.
    QString LedgerItemChangeSQLCondition(const QString &condition) const;
    // The logged-in user's id, or -1.
    int GetUserID() const;
    // Who writes now, for the history: the user and this computer.
    THistoryActor HistoryActor() const;
    // A short text in the host's status bar.
    void ShowStatus(const QString &text) const;
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
    // The directory the ini names (or the default), asking nothing; it may not exist.
    static QString ConfiguredScannedDocumentDir();
    // The ini file beside the host executable, named after it.
    static QString ApplicationIniFileName();
    // [Ledger] OpenOnToday of that ini: whether the list opens on today's
    // items; on unless set to 0.
    static bool OpenOnToday(const QString &iniPath);

    QList<QImage> ImageList;

    static const QString LedgerItemSQL;

signals:
    // An item was written (origin: the item set that posted it, or null for
    // a copy) or deleted; every other item set shows it as stored now.
    void ItemStored(qint64 id, const TLedgerItems *origin);
    void ItemDeleted(qint64 id, const TLedgerItems *origin);
    void ConnectionChanged(TZConnection *connection);

protected:
    // Each item set keeps its own validations (LedgerItems.h).
    void CreateFieldValidations() override {}
    void CreateRelations() override {}
    void DataModuleCreate() override;

private:
    // One attempt each; the public calls repeat them after a write conflict.
    int addAdditionalItem(TZConnection &connection, int itemID);
    std::optional<int> passOnLedgerItem(TZConnection &connection, int itemID, int userID);
    int copyLedgerItem(int itemID, const TStringArr &assignments);

    ILedgerContext *m_context = nullptr;
    // Never opened: the columns' field objects for CopyDataSet's conversions.
    TLedgerItems *m_layout = nullptr;
};

extern Q_DECL_EXPORT TLedgerDM *LedgerDM;

// A service of another module through the data module's context; empty
// without one.
template <class I>
IRef<I> LedgerService()
{
    return LedgerDM && LedgerDM->Context() ? LedgerDM->Context()->Service<I>() : IRef<I>();
}

// Unit start-up and shut-down work.
void LedgerDMUnit_Initialize();
void LedgerDMUnit_Finalize();
