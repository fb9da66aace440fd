#pragma once
// The interface's script for one test: set by the constructor, back to Latin
// (the program's default) when the object goes, whatever the test did.

#include "InterfaceScript.h"

class ScopedScript
{
public:
    explicit ScopedScript(TScript script = TScript::Latin) { SetInterfaceScript(script); }
    ~ScopedScript() { SetInterfaceScript(TScript::Latin); }
    ScopedScript(const ScopedScript &) = delete;
    ScopedScript &operator=(const ScopedScript &) = delete;
};
