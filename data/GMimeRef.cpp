#include "GMimeRef.h"

#include <mutex>

void EnsureGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}
