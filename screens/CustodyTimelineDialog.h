#pragma once
// The custody timeline of an item: its pass-on copies from the origin to the
// newest, each with who registered it, whom it was meant for and when and by
// whom it was accepted, its enclosures under it, and who holds the original
// now. "Štampaj" shows it in the print preview.

#include "data/LedgerCustody.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class TZConnection;

class TCustodyTimelineDialog : public QDialog
{
    Q_OBJECT
public:
    TCustodyTimelineDialog(TZConnection &connection, qint64 itemID, QWidget *parent = nullptr);

    const TCustodyChain &Chain() const { return m_chain; }
    void PrintExecute();

    QTreeWidget *StepsTree = nullptr;
    QLabel *HolderLabel = nullptr;
    QPushButton *PrintButton = nullptr;
    QPushButton *CloseButton = nullptr;

private:
    TZConnection &m_connection;
    TCustodyChain m_chain;
};
