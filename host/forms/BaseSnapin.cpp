#include "BaseSnapin.h"

#include <QLayout>

bool TCustomSnapinFactory::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == ISnapinFactory::IID())
        return answer<ISnapinFactory>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

TCustomSnapin::TCustomSnapin(const IRef<IConsole> &console) : FConsole(console) {}

TCustomSnapin::~TCustomSnapin() = default;

bool TCustomSnapin::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == ISnapin::IID())
        return answer<ISnapin>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

void PlaceFrame(QWidget *frame, QWidget *parent)
{
    if (!frame)
        return;
    if (parent && frame->parentWidget() != parent) {
        frame->setParent(parent);
        if (parent->layout())
            parent->layout()->addWidget(frame);
    }
    frame->show();
}

TCustomViewer::TCustomViewer(const IRef<IConsole> &console) : FConsole(console) {}

TCustomViewer::~TCustomViewer()
{
    delete FFrame.data();
}

bool TCustomViewer::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IViewer::IID())
        return answer<IViewer>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

void TCustomViewer::Show(QWidget *parent)
{
    // Captions are made in the script of their moment: a frame of another
    // script is made again rather than shown half in one, half in the other.
    if (FFrame && FFrameScript != InterfaceScript())
        InternalDestroyFrame();
    if (!FFrame) {
        InternalCreateFrame();
        FFrameScript = InterfaceScript();
    }
    PlaceFrame(FFrame, parent);
}

void TCustomViewer::Hide()
{
    if (FFrame)
        FFrame->hide();
}

TCustomNavigator::TCustomNavigator(const IRef<IConsole> &console) : FConsole(console) {}

TCustomNavigator::~TCustomNavigator()
{
    delete FFrame.data();
}

bool TCustomNavigator::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == INavigable::IID())
        return answer<INavigable>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

void TCustomNavigator::ShowNavigator(QWidget *parent)
{
    if (FFrame && FFrameScript != InterfaceScript())
        InternalDestroyFrame();
    if (!FFrame) {
        InternalCreateFrame();
        FFrameScript = InterfaceScript();
    }
    PlaceFrame(FFrame, parent);
}

void TCustomNavigator::HideNavigator()
{
    if (FFrame)
        FFrame->hide();
}
