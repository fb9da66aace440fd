#include "Clock.h"

#include <utility>

TClock::TSource &TClock::source()
{
    static TSource current = [] { return QDateTime::currentDateTime(); };
    return current;
}

QDateTime TClock::Now()
{
    return source()();
}

TClock::TFixed::TFixed(const QDateTime &at) : m_previous(source())
{
    Set(at);
}

TClock::TFixed::~TFixed()
{
    source() = std::move(m_previous);
}

void TClock::TFixed::Set(const QDateTime &at)
{
    source() = [at] { return at; };
}
