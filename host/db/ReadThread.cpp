#include "ReadThread.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

class TReadThread
{
public:
    ~TReadThread()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    // False when the thread is taken.
    bool TryRun(std::function<void()> &job)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_job || m_running)
                return false;
            m_job = std::move(job);
            if (!m_thread.joinable())
                m_thread = std::thread([this] { loop(); });
        }
        m_wake.notify_one();
        return true;
    }

private:
    void loop()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || m_job; });
            if (m_stop)
                return;
            std::function<void()> job = std::move(m_job);
            m_job = nullptr;
            m_running = true;
            lock.unlock();
            job(); // a packaged task: it keeps its own exception
            lock.lock();
            m_running = false;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::function<void()> m_job;
    bool m_running = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace

std::future<void> RunOnReadThread(std::function<void()> job)
{
    static TReadThread thread;
    auto task = std::make_shared<std::packaged_task<void()>>(std::move(job));
    std::future<void> done = task->get_future();
    std::function<void()> run = [task] { (*task)(); };
    if (!thread.TryRun(run))
        std::thread(std::move(run)).detach(); // the caller waits for the future
    return done;
}
