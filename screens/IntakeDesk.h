#pragma once
// "Prijem dokumenta…" of the ledger's list (toolbar and menu; files dropped
// on the list too): the file is read on a worker thread while a progress
// with "Otkaži" shows; a stamp of this book's item offers to attach the file
// as that item's scan; otherwise duplicates are warned about and the detail
// form opens on a new incoming item with the proposals beside its fields.
// Whatever is cancelled, refused or unread stores nothing; the file and its
// text are stored with the item when the form stores it.

#include "data/IntakeDocument.h"
#include "data/IntakeProposals.h"

#include <QObject>
#include <functional>

class QAction;
class TLedgerDetailForm;
class TLedgerViewerForm;

class TIntakeDesk : public QObject
{
    Q_OBJECT
public:
    using TReader = std::function<TIntakeDocument(const QString &path, TIntakeControl &control)>;
    using TProposer =
        std::function<TIntakeProposals(const TIntakeDocument &, const QList<TIntakePartner> &, const QStringList &)>;

    explicit TIntakeDesk(TLedgerViewerForm &list);

    QAction *const IntakeAction; // "Prijem dokumenta…"
    // ReadIntakeFile and ProposeIntake unless a test scripts its own.
    TReader Reader;
    TProposer Proposer;

    // Asks for the file, then takes it in.
    void IntakeExecute();
    void Intake(const QString &path);

    static QString FileFilter();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TIntakeDocument read(const QString &path);
    bool attachToStamped(const TIntakeDocument &document);
    bool duplicatesAccepted(const TIntakeDocument &document, const TIntakeProposals &proposals);
    void openNewItem(const TIntakeDocument &document, const TIntakeProposals &proposals);

    TLedgerViewerForm &m_list;
};

// Puts the action in the list's toolbar and menu and takes files dropped on it.
TIntakeDesk &AddIntakeDesk(TLedgerViewerForm &list);
