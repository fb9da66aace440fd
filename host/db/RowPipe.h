#pragma once
// Stores a read's rows on a second thread while the reading thread fetches
// the next ones. On SQLite the fetching is this process's own work, so the
// two overlap on two cores instead of taking turns.
//
// Rows are copied into batches in the order they come and handed to the
// target in that order, each batch whole. A read too short to fill a batch
// never starts the thread. The target's Columns and End run on the reading
// thread, before the first row and after the last one is stored.

#include "KExport.h"
#include "RowReceiver.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

class KCOMMON_EXPORT TRowPipe : public TRowReceiver
{
public:
    explicit TRowPipe(TRowReceiver &target);
    // A read that ended early (an error, a cancel) stops the storing thread;
    // what it did not store is dropped.
    ~TRowPipe() override;
    TRowPipe(const TRowPipe &) = delete;
    TRowPipe &operator=(const TRowPipe &) = delete;

    void Columns(const QStringList &names, const std::vector<TFieldType> &types) override;
    void Row(const char *const *values, const size_t *lengths) override;
    // Throws what the target threw for an earlier row, and reads no further.
    void RawRow(const TRawRow &row) override;
    // Waits until every row is stored; throws what the target threw.
    void End() override;

    static constexpr int BatchRows = 1024;

private:
    struct Cell
    {
        qint64 Integer;
        uint32_t Offset;
        uint32_t Length; // or one of the two marks below
    };
    static constexpr uint32_t NullMark = 0xFFFFFFFF;
    static constexpr uint32_t IntegerMark = 0xFFFFFFFE;
    struct Batch
    {
        std::vector<char> Bytes;
        std::vector<Cell> Cells;
        int Rows = 0;
    };

    void send();
    void storeLoop();
    void store(const Batch &batch);
    void stop();

    TRowReceiver &m_target;
    int m_columns = 0;
    Batch m_filling;
    std::thread m_storer;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue; // full batches not yet stored
    std::deque<Batch> m_spare; // stored batches, their buffers kept for reuse
    bool m_finished = false;   // no more batches will come
    bool m_stopping = false;   // store nothing more
    std::exception_ptr m_error;
};
