#pragma once
// The pages of a document being read for intake, handed in one by one in
// page order: a page with a text layer is only looked at for QR codes, a
// picture is read by OCR as well. Pages are read on worker threads, at most
// as many at once as the processor has cores; a reader waits before handing
// in more pages than that (a page's picture is large).

#include "data/IntakeDocument.h"

#include <QImage>
#include <QThreadPool>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

class TIntakePageReading
{
public:
    explicit TIntakePageReading(TIntakeControl &control);
    // Stops the pages still being read and waits for them.
    ~TIntakePageReading();
    TIntakePageReading(const TIntakePageReading &) = delete;
    TIntakePageReading &operator=(const TIntakePageReading &) = delete;

    // Pages to come, added to the total the progress tells.
    void Expect(int pages);
    // A page of known text; picture (may be null) is searched for QR codes.
    void AddText(const QString &text, TTextSource source, const QImage &picture = {});
    // A page to be read by OCR, dpi its resolution.
    void AddPicture(const QImage &picture, int dpi);
    // Throws EIntakeCancelled once the clerk has cancelled.
    void CheckCancel() const;
    // Waits for every page; appends them and their QR codes to document.
    // Throws EIntakeCancelled, or the first page's failure.
    void Finish(TIntakeDocument &document);

private:
    struct TPageResult
    {
        TIntakePage Page;
        QStringList QrCodes;
    };
    bool stopped() const;
    void throwIfFailed();
    void run(TPageResult &result, std::function<void(TPageResult &)> work);
    void pageDone();

    TIntakeControl &m_control;
    std::atomic<bool> m_abandoned{false};
    std::deque<TPageResult> m_pages; // grows at its end only: a running page's slot stays put
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::mutex m_mutex; // guards what follows
    std::condition_variable m_waiting;
    int m_inFlight = 0;
    std::exception_ptr m_failure;
    QThreadPool m_pool;
};
