#include "SecurityActor.h"

#include "KInterfaces.h"

TRegisterActor CurrentRegisterActor(ISecurity *security)
{
    TUserDesc user;
    if (!security || !security->GetCurrentUser(user, 0))
        return RegisterActor(0, QString());
    const QString name = (user.FirstName + u' ' + user.LastName).trimmed();
    return RegisterActor(user.UserID, name.isEmpty() ? user.Login : name);
}

bool CurrentUserAdministers(ISecurity *security)
{
    TUserDesc user;
    return security && security->GetCurrentUser(user, 0) && user.Administrator;
}
