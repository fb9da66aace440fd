#include "RowPipe.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <cstring>
#include <memory>

namespace {
constexpr size_t kQueuedBatches = 4;        // enough to ride out an uneven batch
constexpr size_t kBatchBytes = 4 * 1024 * 1024; // a batch of long texts is sent early
} // namespace

TRowPipe::TRowPipe(TRowReceiver &target) : m_target(target) {}

TRowPipe::~TRowPipe()
{
    stop();
}

void TRowPipe::stop()
{
    if (!m_storer.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_storer.join();
}

void TRowPipe::Columns(const QStringList &names, const std::vector<TFieldType> &types)
{
    m_target.Columns(names, types);
    m_columns = int(names.size());
}

void TRowPipe::Row(const char *const *values, const size_t *lengths)
{
    // Only RawRow is called by the readers; a plain row goes the same way.
    const std::vector<qint64> integers(static_cast<size_t>(m_columns));
    const auto isInteger = std::make_unique<bool[]>(size_t(m_columns));
    RawRow({m_columns, values, lengths, integers.data(), isInteger.get()});
}

void TRowPipe::RawRow(const TRawRow &row)
{
    Batch &b = m_filling;
    for (int i = 0; i < row.Count; ++i) {
        if (row.IsInteger[i]) {
            b.Cells.push_back({row.Integers[i], 0, IntegerMark});
        } else if (!row.Texts[i]) {
            b.Cells.push_back({0, 0, NullMark});
        } else {
            const size_t length = row.Lengths[i];
            if (length >= IntegerMark)
                throw EDatabaseError(UiText(u"Vrednost u koloni %1 je preduga za listu.").arg(i + 1));
            const size_t at = b.Bytes.size();
            b.Bytes.resize(at + length);
            if (length)
                std::memcpy(b.Bytes.data() + at, row.Texts[i], length);
            b.Cells.push_back({0, uint32_t(at), uint32_t(length)});
        }
    }
    if (++b.Rows >= BatchRows || b.Bytes.size() >= kBatchBytes)
        send();
}

void TRowPipe::send()
{
    if (!m_storer.joinable())
        m_storer = std::thread([this] { storeLoop(); });
    Batch next;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_queue.size() < kQueuedBatches || m_error; });
        if (m_error)
            std::rethrow_exception(m_error);
        m_queue.push_back(std::move(m_filling));
        if (!m_spare.empty()) {
            next = std::move(m_spare.front());
            m_spare.pop_front();
        }
    }
    m_changed.notify_all();
    next.Bytes.clear();
    next.Cells.clear();
    next.Rows = 0;
    m_filling = std::move(next);
}

void TRowPipe::storeLoop()
{
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stopping || m_finished || !m_queue.empty(); });
            if (m_stopping || m_queue.empty())
                return;
            batch = std::move(m_queue.front());
            m_queue.pop_front();
        }
        m_changed.notify_all();
        try {
            store(batch);
        } catch (...) {
            {
                std::lock_guard lock(m_mutex);
                m_error = std::current_exception();
                m_queue.clear();
            }
            m_changed.notify_all();
            return;
        }
        std::lock_guard lock(m_mutex);
        if (m_spare.size() < kQueuedBatches)
            m_spare.push_back(std::move(batch));
    }
}

void TRowPipe::store(const Batch &batch)
{
    const auto n = size_t(m_columns);
    std::vector<const char *> texts(n);
    std::vector<size_t> lengths(n);
    std::vector<qint64> integers(n);
    const auto isInteger = std::make_unique<bool[]>(n);
    const Cell *cell = batch.Cells.data();
    for (int r = 0; r < batch.Rows; ++r) {
        for (size_t i = 0; i < n; ++i, ++cell) {
            isInteger[i] = cell->Length == IntegerMark;
            integers[i] = cell->Integer;
            const bool text = cell->Length < IntegerMark;
            texts[i] = text ? batch.Bytes.data() + cell->Offset : nullptr;
            lengths[i] = text ? cell->Length : 0;
            // An empty text of a batch with no bytes still is a text, not NULL.
            if (text && !texts[i])
                texts[i] = "";
        }
        m_target.RawRow({m_columns, texts.data(), lengths.data(), integers.data(), isInteger.get()});
    }
}

void TRowPipe::End()
{
    if (!m_storer.joinable()) {
        store(m_filling); // a short read: no thread
    } else {
        if (m_filling.Rows > 0)
            send();
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_changed.notify_all();
        m_storer.join();
        if (m_error)
            std::rethrow_exception(m_error);
    }
    m_target.End();
}
