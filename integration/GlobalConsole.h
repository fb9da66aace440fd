#pragma once
// The console the module's units ask for services. A leaf: the data module
// and the screens need it without knowing the snap-in or its registration.

#include "KInterfaces.h"

// Empty until the console first asks the factory for the snap-in; then the
// console passed with the most recent request.
extern Q_DECL_EXPORT IRef<IConsole> GlobalConsole;

// A service looked up through the console on each use (the module offering it
// may come and go); empty without a console or a module offering it.
template <class I>
IRef<I> ConsoleService()
{
    return GlobalConsole ? GlobalConsole->service<I>() : IRef<I>();
}
