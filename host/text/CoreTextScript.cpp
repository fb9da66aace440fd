// Core's texts follow the interface's script as soon as this library is
// loaded: core cannot call UiText() itself (CoreText.h).

#include "CoreText.h"
#include "InterfaceScript.h"

namespace {
const bool g_handedToCore = (SetCoreInterfaceText(&UiText), true);
}
