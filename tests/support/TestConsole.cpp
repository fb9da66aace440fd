#include "TestConsole.h"

#include "ZConnection.h"

bool TestSecurity::Connect()
{
    ++ConnectCalls;
    if (Connection && !Connection->Connected())
        Connection->Connect();
    return true;
}
