#pragma once
// A two-column list of named values (key | value), the rows identified by
// their keys, compared without regard to case. A row can show a caption
// instead of its key, offer a pick list, carry an ellipsis button, or be
// read-only. The value cell of the current row always shows its editor, and
// what the user types is the row's value at once.

#include "KExport.h"

#include <QStringList>
#include <QTableView>
#include <functional>
#include <memory>
#include <vector>

enum class TEditStyle { Simple, Ellipsis };

struct TItemProp
{
    QString Caption;        // shown in the key column instead of the key
    QStringList PickList;   // not empty: a drop-down list; other text is still allowed
    TEditStyle EditStyle = TEditStyle::Simple; // Ellipsis: a "..." button emits editButtonClicked()
    bool ReadOnly = false;  // the text cannot be typed; an ellipsis button still works
    bool Clearable = false; // a clear button ("Obriši") runs ClearValue on the row
};

class KCOMMON_EXPORT TValueListEditor : public QTableView
{
    Q_OBJECT
public:
    explicit TValueListEditor(QWidget *parent = nullptr);
    ~TValueListEditor() override;

    // Adds a row, or gives an existing one the caption.
    void AddRow(const QString &key, const QString &caption = {});
    void Clear();
    QStringList Keys() const;
    bool HasKey(const QString &key) const;

    // The row's properties; throws when there is no such key. The reference
    // stays valid until Clear(). Set them before the row is shown, or call
    // viewport()->update() afterwards; an open editor keeps its old look.
    TItemProp &ItemProps(const QString &key);

    QString Value(const QString &key) const; // empty for an unknown key
    void SetValue(const QString &key, const QString &text); // throws for an unknown key
    // Empties the row's value and emits valueCleared; throws for an unknown key.
    void ClearValue(const QString &key);

    QString CurrentKey() const; // empty without a current row
    void SetCurrentRow(const QString &key);

    int KeyColumnWidth() const;
    void SetKeyColumnWidth(int width);
    int ValueColumnWidth() const;
    void SetValueColumnWidth(int width); // stops the value column from filling the width
    // Column titles; both empty hides the title row. Default "Ključ" / "Vrednost".
    void SetTitles(const QString &keyTitle, const QString &valueTitle);

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    // Run guarded, before the key reaches the view or a cell editor.
    // OnKeyDown sees every key; setting key to 0 swallows the press.
    // OnKeyPress sees typed characters and Backspace (as '\b'); setting ch to
    // QChar() discards it, another character replaces it. Keys that type
    // nothing (Delete, arrows, Enter) reach only OnKeyDown.
    std::function<void(int &key, Qt::KeyboardModifiers modifiers)> OnKeyDown;
    std::function<void(QChar &ch)> OnKeyPress;

signals:
    // The ellipsis button of the current row was pressed; see CurrentKey().
    // Emitted inside a guarded handler.
    void editButtonClicked();
    // The row's value was emptied by ClearValue (its clear button among others).
    void valueCleared(const QString &key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Model;
    class Delegate;
    friend class Delegate;
    // Runs the hooks; false when the key is swallowed. A replaced character
    // comes back in replacement.
    bool filterKey(QKeyEvent *event, std::unique_ptr<QKeyEvent> &replacement);
    void watchEditor(QWidget *input);
    void ellipsisClicked();
    void clearClicked(const QString &key);

    Model *m_model;
    bool m_readOnly = false;
    // Key presses whose hooks already ran: one the view passes to a new
    // editor, and one an editor's input may let travel on to the view.
    const QKeyEvent *m_forwarded = nullptr;
    const QKeyEvent *m_seen = nullptr;
};
