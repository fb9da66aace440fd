#pragma once
// The base of a search frame: a value list of search fields filling the
// frame and, below it, "Obriši kriterijume" (also in the list's context
// menu), which empties every row through ClearValue, and "Traži". Enter in
// the list runs the search.
//
// A virtual call from a base constructor does not reach the derived class in
// C++, so this constructor calls no virtual: a derived constructor calls
// SetSearchProps() itself.

#include "KExport.h"

#include <QVariantList>
#include <QWidget>

class QAction;
class QPushButton;
class TValueListEditor;

class KCOMMON_EXPORT TCustomNavigatorForm : public QWidget
{
    Q_OBJECT
public:
    explicit TCustomNavigatorForm(QWidget *parent = nullptr);
    ~TCustomNavigatorForm() override;

    TValueListEditor *const SearchVLE;
    QWidget *const SearchPanel; // at the bottom, holds FindButton
    QPushButton *const FindButton;
    QAction *const ClearAllAction;
    QPushButton *const ClearAllButton;

    // Fills SearchVLE with the search rows. Base: nothing.
    virtual void SetSearchProps();
    // The search condition built from SearchVLE's values, with the values
    // typed into it in params, bound to the text's ? marks. Base: empty.
    virtual QString ParseSQL(QVariantList &params);

    // Handlers, run guarded. FindButtonClick: base nothing.
    // SearchVLEKeyDown: base runs FindButtonClick on Enter or Return and
    // swallows the key (key = 0).
    virtual void FindButtonClick();
    virtual void SearchVLEKeyDown(int &key, Qt::KeyboardModifiers modifiers);
    void ClearAllExecute();
};
