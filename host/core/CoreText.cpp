#include "CoreText.h"

#include <atomic>

namespace {
std::atomic<TInterfaceTextFunction> g_function{nullptr};
}

QString CoreUi(QStringView latin)
{
    const TInterfaceTextFunction function = g_function.load(std::memory_order_relaxed);
    return function ? function(latin) : latin.toString();
}

void SetCoreInterfaceText(TInterfaceTextFunction function) { g_function.store(function, std::memory_order_relaxed); }
