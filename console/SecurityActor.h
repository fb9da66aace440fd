#pragma once
// The logged-in user as the registers need them: the actor their history
// names, and whether they may keep the registers' lists.

#include "RegisterHistory.h"

class ISecurity;

// The current user of security; nobody (id 0, empty name) without a
// service or a login.
TRegisterActor CurrentRegisterActor(ISecurity *security);
// Whether the logged-in user is an administrator; false without a login.
bool CurrentUserAdministers(ISecurity *security);
