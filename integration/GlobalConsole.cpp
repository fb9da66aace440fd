#include "GlobalConsole.h"

IRef<IConsole> GlobalConsole;
