#pragma once
// The time of day as the program sees it. Code that files or filters by "now"
// asks TClock, so that a test can pin the day instead of racing midnight.

#include "KExport.h"

#include <QDateTime>
#include <functional>

class KCOMMON_EXPORT TClock
{
public:
    using TSource = std::function<QDateTime()>;

    // The installed source's time; the system clock unless a test set one.
    static QDateTime Now();

    // Pins the clock to a moment while it lives; the source before it comes
    // back when it goes, so a test's clock ends with the test.
    class KCOMMON_EXPORT TFixed
    {
    public:
        explicit TFixed(const QDateTime &at);
        ~TFixed();
        TFixed(const TFixed &) = delete;
        TFixed &operator=(const TFixed &) = delete;

        void Set(const QDateTime &at);

    private:
        TSource m_previous;
    };

private:
    static TSource &source();
};
