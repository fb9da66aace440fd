#include "ScriptCheck.h"

#include "DBControls.h"
#include "InterfaceScript.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTextEdit>

bool HasForeignLatin(QStringView text)
{
    const bool latin = std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
    // What stays Latin in Cyrillic comes back unchanged from InterfaceText.
    return latin && InterfaceText(text, TScript::Cyrillic) != text;
}

namespace {

class TCollector
{
public:
    explicit TCollector(const QStringList &dataTexts) : m_data(dataTexts) {}

    void Check(const QObject &where, const char *what, QString text)
    {
        for (const QString &data : m_data)
            if (!data.isEmpty())
                text.replace(data, QString());
        if (HasForeignLatin(text))
            m_found << QStringLiteral("%1#%2 %3: %4")
                           .arg(QString::fromLatin1(where.metaObject()->className()), where.objectName(),
                                QString::fromLatin1(what), text);
    }

    void Action(const QAction &action)
    {
        if (m_actions.contains(&action) || action.isSeparator() || !action.isVisible())
            return;
        m_actions.insert(&action);
        Check(action, "text", action.text());
        Check(action, "iconText", action.iconText());
        Check(action, "toolTip", action.toolTip());
        Check(action, "statusTip", action.statusTip());
        if (const QMenu *menu = action.menu())
            Menu(*menu);
    }

    void Menu(const QMenu &menu)
    {
        Check(menu, "title", menu.title());
        for (const QAction *action : menu.actions())
            Action(*action);
    }

    void Widget(const QWidget &widget)
    {
        if (widget.isWindow())
            Check(widget, "windowTitle", widget.windowTitle());
        Check(widget, "toolTip", widget.toolTip());
        Check(widget, "statusTip", widget.statusTip());
        for (const QAction *action : widget.actions())
            Action(*action);

        if (auto *label = qobject_cast<const QLabel *>(&widget))
            Check(widget, "text", label->text());
        else if (auto *button = qobject_cast<const QAbstractButton *>(&widget))
            Check(widget, "text", button->text());
        else if (auto *group = qobject_cast<const QGroupBox *>(&widget))
            Check(widget, "title", group->title());
        else if (auto *edit = qobject_cast<const QLineEdit *>(&widget))
            Check(widget, "placeholderText", edit->placeholderText());
        else if (auto *text = qobject_cast<const QTextEdit *>(&widget))
            Check(widget, "placeholderText", text->placeholderText());
        else if (auto *plain = qobject_cast<const QPlainTextEdit *>(&widget))
            Check(widget, "placeholderText", plain->placeholderText());
        else if (auto *tabs = qobject_cast<const QTabBar *>(&widget))
            for (int i = 0; i < tabs->count(); ++i) {
                Check(widget, "tabText", tabs->tabText(i));
                Check(widget, "tabToolTip", tabs->tabToolTip(i));
            }
        else if (auto *combo = qobject_cast<const QComboBox *>(&widget)) {
            if (!combo->isEditable() && !qobject_cast<const TDBComboBox *>(combo))
                for (int i = 0; i < combo->count(); ++i)
                    Check(widget, "item", combo->itemText(i));
        } else if (auto *spin = qobject_cast<const QAbstractSpinBox *>(&widget)) {
            Check(widget, "specialValueText", spin->specialValueText());
            if (auto *ints = qobject_cast<const QSpinBox *>(spin)) {
                Check(widget, "prefix", ints->prefix());
                Check(widget, "suffix", ints->suffix());
            }
        } else if (auto *view = qobject_cast<const QAbstractItemView *>(&widget))
            Headers(*view);
        else if (auto *status = qobject_cast<const QStatusBar *>(&widget))
            Check(widget, "message", status->currentMessage());
        else if (auto *menu = qobject_cast<const QMenu *>(&widget))
            Menu(*menu);
    }

    void Headers(const QAbstractItemView &view)
    {
        const QAbstractItemModel *model = view.model();
        if (!model)
            return;
        const auto *header = view.findChild<QHeaderView *>();
        for (int column = 0; column < model->columnCount(); ++column) {
            if (header && header->orientation() == Qt::Horizontal && header->isSectionHidden(column))
                continue;
            Check(view, "header", model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
            Check(view, "headerToolTip", model->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString());
        }
    }

    QStringList Found() const { return m_found; }

private:
    QStringList m_data;
    QStringList m_found;
    QSet<const QAction *> m_actions;
};

} // namespace

QStringList LatinTextsIn(const QWidget &window, const QStringList &dataTexts)
{
    TCollector collector(dataTexts);
    collector.Widget(window);
    for (const QWidget *child : window.findChildren<QWidget *>()) {
        // A menu is a hidden popup until opened: read it all the same.
        if (child->isVisibleTo(&window) || qobject_cast<const QMenu *>(child))
            collector.Widget(*child);
    }
    for (const QAction *action : window.findChildren<QAction *>())
        collector.Action(*action);
    return collector.Found();
}
