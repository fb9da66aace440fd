#include "IntakePageReading.h"

#include "data/IntakeOcr.h"
#include "data/IntakeQr.h"

#include <QThread>
#include <chrono>

TIntakePageReading::TIntakePageReading(TIntakeControl &control) : m_control(control)
{
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

TIntakePageReading::~TIntakePageReading()
{
    m_abandoned = true;
    m_pool.waitForDone();
}

void TIntakePageReading::Expect(int pages)
{
    m_total += pages;
}

bool TIntakePageReading::stopped() const
{
    return m_control.Cancel.load() || m_abandoned.load();
}

void TIntakePageReading::CheckCancel() const
{
    if (m_control.Cancel.load())
        throw EIntakeCancelled();
}

void TIntakePageReading::pageDone()
{
    const int done = ++m_done;
    if (m_control.Progress)
        m_control.Progress(done, std::max(done, m_total.load()));
}

void TIntakePageReading::throwIfFailed()
{
    CheckCancel();
    const std::lock_guard lock(m_mutex);
    if (m_failure)
        std::rethrow_exception(m_failure);
}

void TIntakePageReading::run(TPageResult &result, std::function<void(TPageResult &)> work)
{
    // A page more than the threads take waits ready; more would hold
    // pictures' memory for nothing.
    for (;;) {
        throwIfFailed();
        std::unique_lock lock(m_mutex);
        if (m_waiting.wait_for(lock, std::chrono::milliseconds(50),
                               [this] { return m_inFlight <= m_pool.maxThreadCount(); }))
            break;
    }
    {
        const std::lock_guard lock(m_mutex);
        ++m_inFlight;
    }
    m_pool.start([this, &result, work = std::move(work)] {
        try {
            if (!stopped())
                work(result);
            if (!stopped())
                pageDone();
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            if (!m_failure)
                m_failure = std::current_exception();
            m_abandoned = true;
        }
        const std::lock_guard lock(m_mutex);
        --m_inFlight;
        m_waiting.notify_all();
    });
}

void TIntakePageReading::AddText(const QString &text, TTextSource source, const QImage &picture)
{
    CheckCancel();
    TPageResult &result = m_pages.emplace_back();
    result.Page.Text = text;
    result.Page.Source = source;
    result.Page.Confidence = 1.0;
    if (picture.isNull()) {
        pageDone();
        return;
    }
    run(result, [picture](TPageResult &page) { page.QrCodes = ReadQrCodes(picture); });
}

void TIntakePageReading::AddPicture(const QImage &picture, int dpi)
{
    CheckCancel();
    TPageResult &result = m_pages.emplace_back();
    result.Page.Source = TTextSource::Ocr;
    const QString languages = m_control.OcrLanguages;
    run(result, [this, picture, dpi, languages](TPageResult &page) {
        const TOcrText read = RecognizePage(picture, dpi, languages, [this] { return stopped(); });
        page.Page.Text = read.Text;
        page.Page.Confidence = read.Confidence;
        if (!stopped())
            page.QrCodes = ReadQrCodes(picture);
    });
}

void TIntakePageReading::Finish(TIntakeDocument &document)
{
    m_pool.waitForDone();
    throwIfFailed();
    for (TPageResult &result : m_pages) {
        document.Pages << std::move(result.Page);
        document.QrCodes << result.QrCodes;
    }
    m_pages.clear();
}
