#pragma once
// The thread reads run on. Most reads are short: starting a thread for each
// would cost more than many of them take, so one thread is kept and reused.
// A read started while it is taken (another window's read, from within the
// first one's wait) gets a thread of its own.

#include <functional>
#include <future>

// Runs job on a worker thread; the future holds its end or its exception.
std::future<void> RunOnReadThread(std::function<void()> job);
