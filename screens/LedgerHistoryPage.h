#pragma once
// The page "Istorija" of the detail form: the item's history, newest first,
// one line per change ("07.12.2026 21:40 · Ana Petrović · Namenjeno: — →
// Marko Marković"), the desk in each line's tooltip. Read only. "Tok
// predaje" opens the custody timeline of the item.

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class TZConnection;

class TLedgerHistoryPage : public QWidget
{
    Q_OBJECT
public:
    explicit TLedgerHistoryPage(QWidget *parent = nullptr);

    // Reads the item's history again; an item not stored yet (0) has none.
    // A read the user cancelled leaves the page saying so, and throws EAbort.
    void Load(TZConnection &connection, qint64 itemID);

    QListWidget *HistoryList = nullptr;
    QLabel *EmptyLabel = nullptr;
    QPushButton *CustodyButton = nullptr;

signals:
    void custodyRequested();
};
