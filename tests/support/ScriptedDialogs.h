#pragma once
// Dialogs for tests: every question is recorded and answered from a queue;
// a modal form is handed to a callback instead of a nested event loop.

#include "Dialogs.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <variant>

class ScriptedDialogs : public IDialogs
{
public:
    struct Message
    {
        QString Text;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
    };

    // Queued answers, consumed in order by the matching call.
    std::deque<TModalResult> MessageAnswers;     // default when empty: mbOK
    std::deque<std::optional<QDate>> DateAnswers; // nullopt = cancelled
    std::deque<std::optional<QDateTime>> DateTimeAnswers;
    std::deque<QString> BrowseAnswers;            // empty text = cancelled
    std::deque<QString> FileAnswers;
    std::deque<QString> SaveFileAnswers;          // empty text = cancelled
    // Called with the dialog instead of exec(); returns the result code.
    // Default when empty: QDialog::Rejected without touching the dialog.
    std::deque<std::function<int(QDialog &)>> ModalHandlers;
    // Called with the printer and the painting routine instead of the
    // preview. Default when empty: nothing is painted.
    using PreviewHandler = std::function<void(QPrinter &, const std::function<void(QPrinter &)> &)>;
    std::deque<PreviewHandler> PreviewHandlers;

    // What was asked.
    QList<Message> Messages;
    QStringList BrowseTitles;
    QStringList FileDialogs; // "title|filter" of each file dialog
    QStringList OpenedFiles;
    QList<QDialog *> ShownDialogs; // valid only while the dialog lives
    QList<bool> DatabaseWaits;     // whether the server answered, at each showing of a long wait
    QList<qint64> DatabaseWaitRows; // rows loaded, at each showing
    int CancelDatabaseWaitAt = -1; // the showing at which the user cancels; -1: never
    QStringList Notices;
    int ModalCount = 0;
    QStringList Previews; // document names of the previews asked for
    QStringList HelpShown; // "title|resource#anchor" of each guide opened
    QList<qint64> TaskSteps; // done, at each report of a long task
    int CancelTaskAt = -1;   // the report at which the user cancels; -1: never
    int TaskEnds = 0;

    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                            int helpContext) override;
    bool GetDate(QDate &date) override;
    bool GetDateTime(QDateTime &dateTime) override;
    QString BrowseDialog(const QString &title, int flags) override;
    QString OpenFileDialog(const QString &title, const QString &filter) override;
    QString SaveFileDialog(const QString &title, const QString &filter, const QString &fileName) override;
    bool TaskProgress(const QString &text, qint64 done, qint64 total) override;
    void TaskProgressEnded() override { ++TaskEnds; }
    bool OpenWithDefaultApplication(const QString &path) override;
    int ShowModal(QDialog &dialog) override;
    bool DatabaseWait(int seconds, bool serverAnswers, qint64 rowsLoaded) override;
    void Notice(const QString &text) override { Notices << text; }
    void PrintPreview(QPrinter &printer, const std::function<void(QPrinter &)> &paint) override;
    void ShowHelp(const QString &resource, const QString &title, const QString &anchor) override
    {
        HelpShown << title + u'|' + resource + u'#' + anchor;
    }
};

// Installs a ScriptedDialogs for the lifetime of the object.
class ScopedScriptedDialogs
{
public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScriptedDialogs *operator->() { return m_dialogs; }
    ScriptedDialogs &operator*() { return *m_dialogs; }

private:
    ScriptedDialogs *m_dialogs;
    std::unique_ptr<IDialogs> m_previous;
};
