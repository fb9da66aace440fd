#pragma once
// Commands of a module that belong to the whole book rather than to its
// list (a check of the book): the console asks every loaded snap-in for
// IModuleMenuActions (QueryInterface) and puts them in its "Pomoć" menu
// above "O programu" while the snap-in is loaded.

#include "KInterfaces.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;

struct TModuleMenuAction
{
    QString Caption;
    QString ObjectName;
    std::function<void(QWidget *owner)> Run; // may throw: the console shows the error
};

class KCOMMON_EXPORT IModuleMenuActions : public virtual IInterface
{
public:
    K_IID("{1CA69375-E270-49E1-B88A-04143FF5268E}")
    virtual QList<TModuleMenuAction> HelpMenuActions() = 0;
};
