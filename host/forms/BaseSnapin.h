#pragma once
// Bases of a module's snap-in objects: the factory the console asks for the
// snap-in, the snap-in itself, and the viewer and navigator that put the
// module's list and search frames into the console. Virtual operations are
// declared in the order the modules rely on.
//
// C++ note: virtual calls made from a base constructor or destructor do not
// reach the derived class; derived viewers and navigators therefore destroy
// their frames in their own destructors.

#include "InterfaceScript.h"
#include "KInterfaces.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

class TDataSet;

class KCOMMON_EXPORT TCustomSnapinFactory : public TInterfacedObject, public ISnapinFactory
{
public:
    bool QueryInterface(const QUuid &iid, void **out) override;
    // The module's one overridable operation.
    IRef<ISnapin> GetSnapin(const IRef<IConsole> &console) override = 0;

protected:
    IRef<ISnapin> FSnapin;
};

class KCOMMON_EXPORT TCustomSnapin : public TInterfacedObject, public ISnapin
{
public:
    bool QueryInterface(const QUuid &iid, void **out) override;

    TDataSet *GetDataSet() override { return FDataSet; }
    QString GetDescription() override { return FDescription; }
    QImage GetImage() override { return FImage; }
    QString GetName() override { return FName; }
    qint32 GetSnapinType() override { return FSnapinType; }
    explicit TCustomSnapin(const IRef<IConsole> &console);
    IRef<IConsole> Console() const { return FConsole; }

protected:
    ~TCustomSnapin() override;

    TDataSet *FDataSet = nullptr;
    QString FDescription;
    QImage FImage;
    QString FName;
    qint32 FSnapinType = 0;
    IRef<IConsole> FConsole;
};

class KCOMMON_EXPORT TCustomViewer : public TInterfacedObject, public IViewer
{
public:
    bool QueryInterface(const QUuid &iid, void **out) override;

    virtual void InternalCreateFrame() = 0;
    virtual void InternalDestroyFrame() = 0;
    void Load(const IRef<ISnapin> &snapin) override {}
    explicit TCustomViewer(const IRef<IConsole> &console);
    // Creates the frame on first use, and again when the interface's script
    // changed since it was made, and places it into parent's layout.
    void Hide() override;
    void Show(QWidget *parent) override;
    QList<QAction *> GetActionList() override { return FActionList; }
    QWidget *GetFrame() override { return FFrame; }
    qint32 TypeCode() const { return FTypeCode; }

protected:
    ~TCustomViewer() override;

    IRef<IConsole> FConsole;
    QPointer<QWidget> FFrame;
    QList<QAction *> FActionList;
    qint32 FTypeCode = 0;
    TScript FFrameScript = TScript::Latin;
};

class KCOMMON_EXPORT TCustomNavigator : public TInterfacedObject, public INavigable
{
public:
    bool QueryInterface(const QUuid &iid, void **out) override;

    virtual void InternalCreateFrame() = 0;
    virtual void InternalDestroyFrame() = 0;
    explicit TCustomNavigator(const IRef<IConsole> &console);
    void HideNavigator() override;
    // As the viewer's Show: a frame of another script is made anew.
    void ShowNavigator(QWidget *parent) override;
    QWidget *GetFrame() override { return FFrame; }

protected:
    ~TCustomNavigator() override;

    IRef<IConsole> FConsole;
    QPointer<QWidget> FFrame;
    TScript FFrameScript = TScript::Latin;
};

// Puts a frame into a panel (its layout when it has one) and shows it.
KCOMMON_EXPORT void PlaceFrame(QWidget *frame, QWidget *parent);
