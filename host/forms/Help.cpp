#include "Help.h"

#include "Dialogs.h"
#include "Guard.h"
#include "HelpWindow.h"
#include "InterfaceScript.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QWidget>
#include <vector>

namespace {

const char *const kContextProperty = "kHelpContext";

struct TGuide
{
    QString Resource;
    QString Title;
    QStringList Anchors;
};

std::vector<TGuide> &guides()
{
    static std::vector<TGuide> list;
    return list;
}

// The guide with that section, else the one registered last.
const TGuide *guideFor(const QString &anchor)
{
    const std::vector<TGuide> &list = guides();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (!anchor.isEmpty() && it->Anchors.contains(anchor))
            return &*it;
    return list.empty() ? nullptr : &list.back();
}

bool isHelpKey(const QEvent *event)
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// F1 is taken before any shortcut or widget sees it, so that one press
// opens the guide once, whatever window has the focus.
class THelpKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        if (!isHelpKey(event))
            return false;
        event->accept();
        if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
            auto *widget = qobject_cast<QWidget *>(watched);
            if (!widget)
                widget = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
            // In the guide itself F1 would only send it back to the top.
            if (!widget || !qobject_cast<THelpWindow *>(widget->window()))
                Guarded([widget] { ShowHelp(widget); });
        }
        return true;
    }
};

} // namespace

bool RegisterHelpGuide(const QString &resourcePath, const QString &title)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    TGuide guide{resourcePath, title, {}};
    static const QRegularExpression anchor(QStringLiteral("<a\\s+name=\"([^\"]+)\""));
    for (const QRegularExpressionMatch &m : anchor.globalMatch(QString::fromUtf8(file.readAll())))
        guide.Anchors << m.captured(1);
    UnregisterHelpGuide(resourcePath);
    guides().push_back(std::move(guide));
    return true;
}

void UnregisterHelpGuide(const QString &resourcePath)
{
    std::erase_if(guides(), [&](const TGuide &g) { return g.Resource == resourcePath; });
}

QStringList HelpGuideAnchors(const QString &resourcePath)
{
    for (const TGuide &g : guides())
        if (g.Resource == resourcePath)
            return g.Anchors;
    return {};
}

void SetHelpContext(QWidget *widget, int context)
{
    widget->setProperty(kContextProperty, context > 0 ? QVariant(context) : QVariant());
}

int HelpContextOf(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget())
        if (const int context = widget->property(kContextProperty).toInt(); context > 0)
            return context;
    return 0;
}

QString HelpAnchor(int context)
{
    return context > 0 ? QStringLiteral("c%1").arg(context) : QString();
}

void ShowHelp(QWidget *from)
{
    const QString anchor = HelpAnchor(HelpContextOf(from));
    const TGuide *guide = guideFor(anchor);
    if (!guide) {
        MessageDlg(UiText(u"Uputstvo nije dostupno: nijedan učitani modul ga ne donosi."),
                   TMsgDlgType::Information, mbOK);
        return;
    }
    Dialogs().ShowHelp(guide->Resource, guide->Title, guide->Anchors.contains(anchor) ? anchor : QString());
}

void InstallHelpKey(QApplication &app)
{
    static QPointer<THelpKeyFilter> filter;
    if (filter && filter->parent() == &app)
        return;
    filter = new THelpKeyFilter(&app); // goes with the application
    app.installEventFilter(filter);
}
