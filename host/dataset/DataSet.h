#pragma once
// The data set: one explicit state machine (inactive, browse, edit, insert)
// over an opened row set held in its own compact store, with events fired at
// fixed points. An exception thrown by an event aborts the operation: a failed
// post keeps the row in edit/insert with the user's values; a failed new-row
// event abandons the new row. Controls follow it through data sources and
// data links (DataSource.h).

#include "Field.h"
#include "KExport.h"
#include "RowStore.h"

#include <QObject>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class TDataSource;
class EDatabaseError;

enum class TDataSetState { Inactive, Browse, Edit, Insert };

class KCOMMON_EXPORT TDataSet : public QObject
{
    Q_OBJECT
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet &)>;
    using TPostErrorEvent = std::function<void(TDataSet &, const EDatabaseError &)>;

    explicit TDataSet(QObject *parent = nullptr);
    ~TDataSet() override;

    // Events, in the order the operations fire them:
    //   Open: BeforeOpen, AfterOpen; Close: BeforeClose, AfterClose
    //   Insert/Append: BeforeInsert, BeforeScroll, OnNewRecord, AfterInsert, AfterScroll
    //   Edit: BeforeEdit, AfterEdit; Post: BeforePost, AfterPost
    //   Cancel: BeforeCancel, AfterCancel, AfterScroll
    //   Delete: BeforeDelete, BeforeScroll, AfterDelete, AfterScroll
    //   a move to another row: BeforeScroll, AfterScroll
    // Leaving edit or insert for another row (or an insert) posts the row
    // when it was modified and cancels it otherwise.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, OnNewRecord, AfterInsert;
    TDataSetNotifyEvent BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    // Called when the database refuses a post; may throw a clearer exception.
    TPostErrorEvent OnPostError;

    // Fields. Fields added before Open are persistent: the row set must
    // deliver their columns; without any, fields are made from the result.
    TField &AddField(const QString &name, TFieldType type, int size = 0);
    TField *FindField(const QString &name) const;
    TField &FieldByName(const QString &name) const; // throws when missing
    int FieldCount() const { return int(m_fields.size()); }
    TField &Fields(int i) const { return *m_fields[size_t(i)]; }

    // An open that fails or that the user cancels (a long load, see
    // ServerWait.h; EAbort) leaves the data set closed and empty: no row of
    // it is ever shown and no event after BeforeOpen fires.
    void Open();
    void Close();
    // Reads the rows again and stays on the same row (by key) when it is
    // still there, else near where it was.
    void Refresh();
    // Drops the row with that key from the rows held (another window deleted
    // it); the current row stays where it was. False when no row has it.
    bool RemoveRow(const QVariant &key);
    // Moves to the row with that key; false (and no move) when none has it.
    bool Locate(const QVariant &key);
    bool Active() const { return m_state != TDataSetState::Inactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    TDataSetState State() const { return m_state; }

    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const;
    int RecordCount() const { return int(m_order.size()); }
    int RecNo() const { return m_current + 1; } // 1-based; 0 when empty
    void SetRecNo(int recNo);                    // moves to a row (posts a pending edit)

    void Append();
    void Insert();
    void Edit();
    void Post(); // raises outside edit and insert
    void Cancel();
    void Delete();
    // Asks bound controls to hand over their pending text.
    void UpdateRecord();
    bool Modified() const { return m_modified; }
    // False for a data set that cannot write its rows back.
    virtual bool CanModify() const { return true; }

    // Nestable; while disabled, bound controls stop following.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // "col [ASC|DESC], col2 ..." applied to the opened row set, and again
    // after every open.
    QString SortedFields() const { return m_sortedFields; }
    void SetSortedFields(const QString &fields);

    // Reading another row than the current one, for grids.
    QVariant ValueAt(int row, const TField &field) const;
    QString DisplayTextAt(int row, const TField &field) const;

    // Links (data sources register themselves).
    void AttachDataSource(TDataSource *source);
    void DetachDataSource(TDataSource *source);

    // For the fields.
    QVariant FieldValue(const TField &field) const;
    // The current row's value as stored, whatever its edit holds; null while
    // inserting.
    QVariant OldValue(const TField &field) const;
    // The stored text of a value the field could not read, on the row being
    // read or shown; null text when the value was read (or has been replaced).
    QString UnreadableText(const TField &field) const;
    void SetFieldValue(TField &field, const QVariant &value);

    size_t StoreMemoryUsed() const { return m_store.MemoryUsed(); }

protected:
    // The backend part: fill the store, write rows. InternalOpen creates the
    // fields when there are none and binds them to store columns.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() {}
    // Writes the buffer; for an insert returns the key the database gave
    // (or an invalid value). changed lists the fields that differ.
    virtual QVariant InternalPost(bool inserting, const std::vector<TField *> &changed) = 0;
    virtual void InternalDelete() = 0;
    // Column defaults for a new row.
    virtual void InternalInitRecord() {}
    // The field holding the row's key, or null.
    virtual TField *KeyField() const { return nullptr; }

    // For the backend.
    // Rows read into a store of their own (off the GUI thread) and handed
    // over in one step: store column i belongs to field i; unreadable values
    // are keyed by UnreadableKey.
    struct TLoadedRows
    {
        TRowStore Store;
        std::vector<uint32_t> Order;
        std::unordered_map<quint64, QString> Unreadable;
    };
    static quint64 UnreadableKey(uint32_t storeRow, int column) { return (quint64(storeRow) << 16) | quint64(column); }
    void AdoptRows(TLoadedRows &&rows);
    // Puts one row read again (values per field, in field order) in its
    // sorted place: the row with the same key is replaced, else the row is
    // added when addIfMissing. The current row stays on its item. Only in
    // browse state; false when nothing was placed.
    bool PlaceRow(const std::vector<QVariant> &values, bool addIfMissing);
    TRowStore &Store() { return m_store; }
    void BindFieldColumn(TField &field, int column, bool displayOnly);
    void ResetStore(); // makes one store column per field
    std::vector<uint32_t> &Order() { return m_order; }
    void SetBufferValue(TField &field, const QVariant &value); // no notification
    // A stored value that could not be read: kept as null, shown as unreadable.
    void MarkUnreadable(uint32_t storeRow, const TField &field, const QString &stored);
    int UnreadableCount() const { return int(m_unreadable.size()); }
    const std::vector<std::unique_ptr<TField>> &FieldList() const { return m_fields; }

    enum class TDataEvent { DataSetChanged, RecordChanged, Scrolled, EditingChanged, RowInserted, RowRemoved, UpdateData };
    void Notify(TDataEvent event, int arg = 0, TField *field = nullptr);

private:
    void checkActive() const;
    void checkBrowseMode(); // posts a modified edit or insert, cancels an untouched one
    void checkCanModify() const;
    void applySort();
    // The sort's store columns, each with whether it is descending; throws
    // for a field the data set does not have.
    std::vector<std::pair<int, bool>> sortColumns() const;
    // Compares two store rows by those columns (none: equal).
    int compareRows(const std::vector<std::pair<int, bool>> &columns, uint32_t a, uint32_t b) const;
    int findKey(const QVariant &key) const; // visible row, or -1
    void fire(const TDataSetNotifyEvent &ev) { if (ev) ev(*this); }
    void beginInsert(int position);
    void moveTo(int row);

    std::vector<std::unique_ptr<TField>> m_fields;
    TRowStore m_store;
    std::vector<uint32_t> m_order; // visible row -> store row
    TDataSetState m_state = TDataSetState::Inactive;
    int m_current = -1;
    int m_returnRow = -1; // row to return to when an insert is cancelled
    bool m_bof = true, m_eof = true;
    std::vector<QVariant> m_buffer;
    bool m_modified = false;
    int m_disableCount = 0;
    bool m_pendingReset = false;
    QString m_sortedFields;
    mutable int m_peekRow = -1;
    std::vector<TDataSource *> m_sources;
    bool m_autoFields = false;
    std::unordered_map<quint64, QString> m_unreadable; // store row << 16 | column
};
