#include "DataSet.h"

#include "DataSource.h"
#include "InterfaceScript.h"
#include "KException.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {
struct PeekGuard
{
    int &slot;
    int saved;
    PeekGuard(int &s, int row) : slot(s), saved(s) { slot = row; }
    ~PeekGuard() { slot = saved; }
};
} // namespace

TDataSet::TDataSet(QObject *parent) : QObject(parent) {}

// Sources and their links learn of it here, so no control keeps a dangling
// data set.
TDataSet::~TDataSet()
{
    for (TDataSource *s : std::vector<TDataSource *>(m_sources))
        s->DataSetDestroyed();
}

TField &TDataSet::AddField(const QString &name, TFieldType type, int size)
{
    if (FindField(name))
        throw EDatabaseError(UiText(u"Polje '%1' već postoji.").arg(name));
    m_fields.push_back(std::make_unique<TField>(*this, name, type, size));
    return *m_fields.back();
}

TField *TDataSet::FindField(const QString &name) const
{
    for (const auto &f : m_fields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TField &TDataSet::FieldByName(const QString &name) const
{
    TField *f = FindField(name);
    if (!f)
        throw EDatabaseError(UiText(u"Polje '%1' nije pronađeno.").arg(name));
    return *f;
}

// ---- Opening and closing --------------------------------------------------

void TDataSet::Open()
{
    if (Active())
        return;
    fire(BeforeOpen);
    m_autoFields = m_fields.empty();
    try {
        InternalOpen();
        applySort(); // a sort naming no field fails the open, not half of it
    } catch (...) {
        m_store.Reset({});
        m_order.clear();
        if (m_autoFields)
            m_fields.clear();
        throw;
    }
    m_state = TDataSetState::Browse;
    m_current = m_order.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_order.empty();
    Notify(TDataEvent::DataSetChanged);
    fire(AfterOpen);
}

void TDataSet::Close()
{
    if (!Active())
        return;
    fire(BeforeClose);
    InternalClose();
    m_state = TDataSetState::Inactive;
    m_store.Reset({});
    m_order.clear();
    m_order.shrink_to_fit();
    m_unreadable.clear();
    m_buffer.clear();
    m_modified = false;
    m_current = -1;
    m_bof = m_eof = true;
    if (m_autoFields) {
        m_fields.clear();
        m_autoFields = false;
    }
    Notify(TDataEvent::DataSetChanged);
    fire(AfterClose);
}

void TDataSet::Refresh()
{
    checkBrowseMode();
    TField *key = KeyField();
    const QVariant keyValue = key && m_current >= 0 ? OldValue(*key) : QVariant();
    const int position = m_current;
    Close();
    Open();
    if (m_order.empty())
        return;
    int row = std::min(std::max(position, 0), int(m_order.size()) - 1);
    if (key && keyValue.isValid())
        for (int i = 0; i < int(m_order.size()); ++i)
            if (m_store.Get(m_order[size_t(i)], key->m_column) == keyValue) {
                row = i;
                break;
            }
    SetRecNo(row + 1);
}

int TDataSet::findKey(const QVariant &key) const
{
    const TField *k = KeyField();
    if (!k || !key.isValid() || key.isNull())
        return -1;
    const qint64 wanted = key.toLongLong();
    const bool numeric = k->DataType() == TFieldType::Largeint || k->DataType() == TFieldType::Integer
                         || k->DataType() == TFieldType::Smallint;
    for (size_t i = 0; i < m_order.size(); ++i) {
        const QVariant v = m_store.Get(m_order[i], k->m_column);
        if (numeric ? (!v.isNull() && v.toLongLong() == wanted) : v == key)
            return int(i);
    }
    return -1;
}

bool TDataSet::RemoveRow(const QVariant &key)
{
    if (m_state != TDataSetState::Browse)
        return false;
    const int row = findKey(key);
    if (row < 0)
        return false;
    m_order.erase(m_order.begin() + row);
    if (m_current > row || m_current >= int(m_order.size()))
        --m_current;
    m_bof = m_eof = m_order.empty();
    Notify(TDataEvent::RowRemoved, row);
    Notify(TDataEvent::Scrolled);
    return true;
}

bool TDataSet::Locate(const QVariant &key)
{
    checkActive();
    const int row = findKey(key);
    if (row < 0)
        return false;
    SetRecNo(row + 1);
    return true;
}

std::vector<std::pair<int, bool>> TDataSet::sortColumns() const
{
    std::vector<std::pair<int, bool>> columns;
    for (const QString &part : m_sortedFields.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(u' ');
        if (words.isEmpty() || words.first().isEmpty())
            continue;
        const bool desc = words.size() > 1 && words.at(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
        columns.emplace_back(FieldByName(words.first()).m_column, desc);
    }
    return columns;
}

int TDataSet::compareRows(const std::vector<std::pair<int, bool>> &columns, uint32_t a, uint32_t b) const
{
    for (const auto &[column, desc] : columns)
        if (const int c = m_store.Compare(a, b, column); c != 0)
            return desc ? -c : c;
    return 0;
}

bool TDataSet::PlaceRow(const std::vector<QVariant> &values, bool addIfMissing)
{
    const TField *k = KeyField();
    if (m_state != TDataSetState::Browse || !k || values.size() != m_fields.size())
        return false;
    const int held = findKey(values[size_t(k->m_column)]);
    if (held < 0 && !addIfMissing)
        return false;
    const uint32_t currentRow = m_current >= 0 ? m_order[size_t(m_current)] : UINT32_MAX;
    uint32_t row;
    if (held >= 0) {
        row = m_order[size_t(held)];
        m_order.erase(m_order.begin() + held);
    } else {
        row = m_store.AddRow();
    }
    for (const auto &f : m_fields) {
        m_store.Set(row, f->m_column, values[size_t(f->m_column)]);
        m_unreadable.erase(UnreadableKey(row, f->m_column));
    }
    // Its place in the sort; unsorted rows keep theirs, a new one goes last.
    size_t at = held >= 0 ? size_t(held) : m_order.size();
    if (const auto columns = sortColumns(); !columns.empty())
        at = size_t(std::upper_bound(m_order.begin(), m_order.end(), row,
                                     [&](uint32_t a, uint32_t b) { return compareRows(columns, a, b) < 0; })
                    - m_order.begin());
    m_order.insert(m_order.begin() + qsizetype(at), row);
    const uint32_t stay = currentRow == UINT32_MAX ? row : currentRow;
    m_current = int(std::find(m_order.begin(), m_order.end(), stay) - m_order.begin());
    m_bof = m_eof = false;
    Notify(TDataEvent::DataSetChanged);
    return true;
}

void TDataSet::ResetStore()
{
    m_unreadable.clear();
    std::vector<TFieldType> types;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        types.push_back(m_fields[i]->DataType());
        m_fields[i]->m_column = int(i);
    }
    m_store.Reset(types);
    m_order.clear();
}

void TDataSet::AdoptRows(TLoadedRows &&rows)
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->m_column = int(i);
    m_store = std::move(rows.Store);
    m_order = std::move(rows.Order);
    m_unreadable = std::move(rows.Unreadable);
}

void TDataSet::BindFieldColumn(TField &field, int column, bool displayOnly)
{
    field.m_column = column;
    field.m_displayOnly = displayOnly;
}

void TDataSet::checkActive() const
{
    if (!Active())
        throw EDatabaseError(UiText(u"Operacija nije moguća: skup podataka je zatvoren."));
}

// ---- Navigation -------------------------------------------------------------

void TDataSet::moveTo(int row)
{
    if (row == m_current)
        return;
    fire(BeforeScroll);
    m_current = row;
    Notify(TDataEvent::Scrolled);
    fire(AfterScroll);
}

void TDataSet::First()
{
    checkBrowseMode();
    moveTo(m_order.empty() ? -1 : 0);
    m_bof = true;
    m_eof = m_order.empty();
}

void TDataSet::Last()
{
    checkBrowseMode();
    moveTo(int(m_order.size()) - 1);
    m_eof = true;
    m_bof = m_order.empty();
}

void TDataSet::Next()
{
    checkBrowseMode();
    if (m_current + 1 < int(m_order.size())) {
        moveTo(m_current + 1);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
    }
}

void TDataSet::Prior()
{
    checkBrowseMode();
    if (m_current > 0) {
        moveTo(m_current - 1);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
    }
}

bool TDataSet::Eof() const { return !Active() || m_eof || m_order.empty(); }
bool TDataSet::Bof() const { return !Active() || m_bof || m_order.empty(); }

bool TDataSet::IsEmpty() const
{
    return m_order.empty() && m_state != TDataSetState::Insert;
}

void TDataSet::SetRecNo(int recNo)
{
    checkActive();
    if (m_order.empty())
        return;
    checkBrowseMode();
    moveTo(std::clamp(recNo - 1, 0, int(m_order.size()) - 1));
    m_bof = m_eof = false;
}

// ---- Editing ------------------------------------------------------------------

void TDataSet::checkBrowseMode()
{
    checkActive();
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return;
    UpdateRecord();
    if (m_modified)
        Post();
    else
        Cancel();
}

void TDataSet::checkCanModify() const
{
    if (!CanModify())
        throw EDatabaseError(UiText(u"Skup podataka je samo za čitanje."));
}

void TDataSet::beginInsert(int position)
{
    checkBrowseMode();
    checkCanModify();
    fire(BeforeInsert);
    fire(BeforeScroll);
    const uint32_t row = m_store.AddRow();
    position = std::clamp(position, 0, int(m_order.size()));
    m_order.insert(m_order.begin() + position, row);
    m_buffer.assign(m_fields.size(), QVariant());
    m_modified = false;
    m_state = TDataSetState::Insert;
    // A cancelled insert returns to the row that was current before it.
    m_returnRow = m_current < 0 ? -1 : (m_current >= position ? m_current + 1 : m_current);
    m_current = position;
    m_bof = false;
    m_eof = true;
    InternalInitRecord();
    Notify(TDataEvent::RowInserted, position);
    Notify(TDataEvent::EditingChanged);
    Notify(TDataEvent::Scrolled);
    try {
        fire(OnNewRecord);
    } catch (...) {
        Cancel();
        throw;
    }
    m_modified = false;
    fire(AfterInsert);
    fire(AfterScroll);
}

void TDataSet::Append()
{
    checkActive();
    beginInsert(int(m_order.size()));
}

void TDataSet::Insert()
{
    checkActive();
    beginInsert(m_current < 0 ? 0 : m_current);
}

void TDataSet::Edit()
{
    checkActive();
    if (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert)
        return;
    checkCanModify();
    if (m_order.empty()) {
        Insert();
        return;
    }
    fire(BeforeEdit);
    m_buffer.assign(m_fields.size(), QVariant());
    const uint32_t row = m_order[size_t(m_current)];
    for (const auto &f : m_fields)
        m_buffer[size_t(f->m_column)] = m_store.Get(row, f->m_column);
    m_modified = false;
    m_state = TDataSetState::Edit;
    Notify(TDataEvent::EditingChanged);
    fire(AfterEdit);
}

void TDataSet::UpdateRecord()
{
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return;
    Notify(TDataEvent::UpdateData);
}

void TDataSet::Post()
{
    checkActive();
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        throw EDatabaseError(UiText(u"Skup podataka nije u režimu izmene."));
    UpdateRecord();
    fire(BeforePost);
    for (const auto &f : m_fields) {
        // An emptied text is no value either.
        const QVariant &v = m_buffer[size_t(f->m_column)];
        const bool missing = v.isNull() || (f->DataType() == TFieldType::String && v.toString().isEmpty());
        if (f->Required && !f->IsDisplayOnly() && missing)
            throw EDatabaseError(UiText(u"Polje '%1' mora imati vrednost.").arg(f->DisplayLabel()));
    }
    const bool inserting = m_state == TDataSetState::Insert;
    const uint32_t row = m_order[size_t(m_current)];
    std::vector<TField *> changed;
    for (const auto &f : m_fields) {
        if (f->IsDisplayOnly())
            continue;
        const QVariant &now = m_buffer[size_t(f->m_column)];
        if (inserting ? !now.isNull() : (now != m_store.Get(row, f->m_column)))
            changed.push_back(f.get());
    }
    QVariant key;
    try {
        key = InternalPost(inserting, changed);
    } catch (const EDatabaseError &e) {
        if (OnPostError)
            OnPostError(*this, e);
        throw;
    }
    if (inserting && key.isValid()) {
        if (TField *k = KeyField(); k && m_buffer[size_t(k->m_column)].isNull())
            m_buffer[size_t(k->m_column)] = k->Convert(key);
    }
    for (const auto &f : m_fields) {
        m_store.Set(row, f->m_column, m_buffer[size_t(f->m_column)]);
        if (!m_buffer[size_t(f->m_column)].isNull())
            m_unreadable.erase(UnreadableKey(row, f->m_column));
    }
    m_buffer.clear();
    m_modified = false;
    m_state = TDataSetState::Browse;
    m_bof = m_eof = false;
    Notify(TDataEvent::EditingChanged);
    Notify(TDataEvent::RecordChanged);
    fire(AfterPost);
}

void TDataSet::Cancel()
{
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return;
    fire(BeforeCancel);
    const bool inserting = m_state == TDataSetState::Insert;
    m_buffer.clear();
    m_modified = false;
    m_state = TDataSetState::Browse;
    if (inserting) {
        const int removed = m_current;
        m_order.erase(m_order.begin() + removed);
        const int back = m_returnRow > removed ? m_returnRow - 1 : m_returnRow;
        m_current = back >= 0 ? std::min(back, int(m_order.size()) - 1) : std::min(removed, int(m_order.size()) - 1);
        m_bof = m_eof = m_order.empty();
        Notify(TDataEvent::RowRemoved, removed);
        Notify(TDataEvent::EditingChanged);
        Notify(TDataEvent::Scrolled);
    } else {
        Notify(TDataEvent::EditingChanged);
        Notify(TDataEvent::RecordChanged);
    }
    fire(AfterCancel);
    fire(AfterScroll);
}

void TDataSet::Delete()
{
    checkActive();
    if (m_state == TDataSetState::Insert) {
        Cancel();
        return;
    }
    checkCanModify();
    if (m_order.empty())
        throw EDatabaseError(UiText(u"Nema stavke za brisanje."));
    if (m_state == TDataSetState::Edit)
        Cancel();
    fire(BeforeDelete);
    fire(BeforeScroll);
    InternalDelete();
    const int removed = m_current;
    m_order.erase(m_order.begin() + removed);
    m_current = std::min(removed, int(m_order.size()) - 1);
    m_bof = m_order.empty();
    m_eof = m_order.empty();
    Notify(TDataEvent::RowRemoved, removed);
    Notify(TDataEvent::Scrolled);
    fire(AfterDelete);
    fire(AfterScroll);
}

// ---- Field values -------------------------------------------------------------

QVariant TDataSet::FieldValue(const TField &field) const
{
    if (!Active() || field.m_column < 0)
        return {};
    if (m_peekRow >= 0 && m_peekRow != m_current) {
        if (m_peekRow >= int(m_order.size()))
            return {};
        return m_store.Get(m_order[size_t(m_peekRow)], field.m_column);
    }
    if (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert)
        return m_buffer[size_t(field.m_column)];
    if (m_current < 0)
        return {};
    return m_store.Get(m_order[size_t(m_current)], field.m_column);
}

void TDataSet::SetFieldValue(TField &field, const QVariant &value)
{
    checkActive();
    if (field.m_column < 0)
        throw EDatabaseError(UiText(u"Polje '%1' nije povezano sa kolonom.").arg(field.FieldName()));
    if (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert) {
        if (field.ReadOnly && !field.IsDisplayOnly())
            throw EDatabaseError(UiText(u"Polje '%1' se ne može menjati.").arg(field.DisplayLabel()));
        m_buffer[size_t(field.m_column)] = value;
        m_modified = true;
        Notify(TDataEvent::RecordChanged, 0, &field);
        return;
    }
    // Display-only columns may take display values while browsing; they
    // are never written to the database.
    if (field.IsDisplayOnly() && m_current >= 0) {
        m_store.Set(m_order[size_t(m_current)], field.m_column, value);
        Notify(TDataEvent::RecordChanged, 0, &field);
        return;
    }
    throw EDatabaseError(UiText(u"Skup podataka nije u režimu izmene."));
}

void TDataSet::SetBufferValue(TField &field, const QVariant &value)
{
    m_buffer[size_t(field.m_column)] = value;
}

QVariant TDataSet::OldValue(const TField &field) const
{
    if (m_current < 0 || m_state == TDataSetState::Insert)
        return {};
    return m_store.Get(m_order[size_t(m_current)], field.m_column);
}

void TDataSet::MarkUnreadable(uint32_t storeRow, const TField &field, const QString &stored)
{
    m_unreadable[UnreadableKey(storeRow, field.m_column)] = stored;
}

QString TDataSet::UnreadableText(const TField &field) const
{
    if (m_unreadable.empty() || !Active() || field.m_column < 0)
        return {};
    const int row = m_peekRow >= 0 ? m_peekRow : m_current;
    if (row < 0 || row >= int(m_order.size()))
        return {};
    // Once the user has given it a value, that value counts.
    if (row == m_current && m_peekRow < 0 && (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert)
        && !m_buffer[size_t(field.m_column)].isNull())
        return {};
    const auto it = m_unreadable.find(UnreadableKey(m_order[size_t(row)], field.m_column));
    return it == m_unreadable.end() ? QString() : it->second;
}

QVariant TDataSet::ValueAt(int row, const TField &field) const
{
    PeekGuard g(m_peekRow, row);
    return FieldValue(field);
}

QString TDataSet::DisplayTextAt(int row, const TField &field) const
{
    PeekGuard g(m_peekRow, row);
    return field.DisplayText();
}

// ---- Sorting ----------------------------------------------------------------------

void TDataSet::SetSortedFields(const QString &fields)
{
    m_sortedFields = fields;
    if (!Active())
        return;
    checkBrowseMode();
    const uint32_t currentRow = m_current >= 0 ? m_order[size_t(m_current)] : 0;
    applySort();
    if (m_current >= 0)
        m_current = int(std::find(m_order.begin(), m_order.end(), currentRow) - m_order.begin());
    Notify(TDataEvent::DataSetChanged);
}

void TDataSet::applySort()
{
    // A key is a number per store row in the column's order where the store
    // can give one (text ranks, whole numbers), else the store compares.
    struct Key { int column; bool desc; std::vector<qint64> ordinals; };
    std::vector<Key> keys;
    for (const auto &[column, desc] : sortColumns()) {
        const std::vector<uint32_t> ranks = m_store.TextRanks(column);
        keys.push_back({column, desc,
                        ranks.empty() ? m_store.Ordinals(column) : std::vector<qint64>(ranks.begin(), ranks.end())});
    }
    if (keys.empty())
        return;
    const auto compare = [&](const Key &k, uint32_t a, uint32_t b) {
        const int c = k.ordinals.empty() ? m_store.Compare(a, b, k.column)
                                         : (k.ordinals[a] < k.ordinals[b] ? -1 : k.ordinals[a] > k.ordinals[b]);
        return k.desc ? -c : c;
    };
    const auto thenBy = [&](uint32_t a, uint32_t b) {
        for (size_t i = 1; i < keys.size(); ++i)
            if (const int c = compare(keys[i], a, b); c != 0)
                return c;
        return 0;
    };
    const Key &first = keys.front();
    // Rows the SELECT sorted already, or a sort set again, cost one pass:
    // sorting them would leave them as they are.
    if (std::is_sorted(m_order.begin(), m_order.end(), [&](uint32_t a, uint32_t b) {
            const int c = compare(first, a, b);
            return c != 0 ? c < 0 : thenBy(a, b) < 0;
        }))
        return;
    if (first.ordinals.empty()) {
        std::stable_sort(m_order.begin(), m_order.end(), [&](uint32_t a, uint32_t b) {
            const int c = compare(first, a, b);
            return c != 0 ? c < 0 : thenBy(a, b) < 0;
        });
        return;
    }
    const auto firstKey = [&](uint32_t row) {
        const qint64 v = first.ordinals[row];
        return first.desc ? ~v : v;
    };
    const size_t n = m_order.size();
    std::vector<uint32_t> sorted(n);
    qint64 low = std::numeric_limits<qint64>::max(), high = std::numeric_limits<qint64>::min();
    for (uint32_t row : m_order) {
        low = std::min(low, firstKey(row));
        high = std::max(high, firstKey(row));
    }
    if (n > 0 && uint64_t(high) - uint64_t(low) < 2 * n + 1024) {
        // Few distinct numbers (text ranks, ids, days): counted into place, in
        // one pass and stable.
        std::vector<uint32_t> start(size_t(uint64_t(high) - uint64_t(low)) + 2, 0);
        for (uint32_t row : m_order)
            ++start[size_t(uint64_t(firstKey(row)) - uint64_t(low)) + 1];
        std::partial_sum(start.begin(), start.end(), start.begin());
        for (uint32_t row : m_order)
            sorted[start[size_t(uint64_t(firstKey(row)) - uint64_t(low))]++] = row;
    } else {
        // The number beside each row's position: one array read in order,
        // the position keeping equal rows as they were.
        std::vector<std::pair<qint64, uint32_t>> items(n);
        for (size_t i = 0; i < n; ++i)
            items[i] = {firstKey(m_order[i]), uint32_t(i)};
        std::sort(items.begin(), items.end());
        for (size_t i = 0; i < n; ++i)
            sorted[i] = m_order[items[i].second];
    }
    // Rows equal by the first key lie together: each run sorted by the rest.
    if (keys.size() > 1) {
        for (size_t from = 0; from < n;) {
            size_t to = from + 1;
            while (to < n && firstKey(sorted[to]) == firstKey(sorted[from]))
                ++to;
            if (to - from > 1)
                std::stable_sort(sorted.begin() + qsizetype(from), sorted.begin() + qsizetype(to),
                                 [&](uint32_t a, uint32_t b) { return thenBy(a, b) < 0; });
            from = to;
        }
    }
    m_order = std::move(sorted);
}

// ---- Controls ----------------------------------------------------------------------

void TDataSet::DisableControls()
{
    ++m_disableCount;
}

void TDataSet::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0 && m_pendingReset) {
        m_pendingReset = false;
        Notify(TDataEvent::DataSetChanged);
    }
}

void TDataSet::AttachDataSource(TDataSource *source)
{
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void TDataSet::DetachDataSource(TDataSource *source)
{
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
}

void TDataSet::Notify(TDataEvent event, int arg, TField *field)
{
    if (event != TDataEvent::UpdateData && m_disableCount > 0) {
        m_pendingReset = true;
        return;
    }
    // Copies: a control may detach itself while being told.
    for (TDataSource *source : std::vector<TDataSource *>(m_sources)) {
        for (TDataLink *link : std::vector<TDataLink *>(source->Links())) {
            switch (event) {
            case TDataEvent::DataSetChanged: link->DataSetChanged(); break;
            case TDataEvent::RecordChanged: link->RecordChanged(field); break;
            case TDataEvent::Scrolled: link->DataSetScrolled(); break;
            case TDataEvent::EditingChanged: link->EditingChanged(); break;
            case TDataEvent::RowInserted: link->RowInserted(arg); break;
            case TDataEvent::RowRemoved: link->RowRemoved(arg); break;
            case TDataEvent::UpdateData: link->UpdateData(); break;
            }
        }
    }
}
