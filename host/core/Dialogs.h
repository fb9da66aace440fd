#pragma once
// The one seam for everything modal or external: message boxes, date and
// folder pickers, file choice, opening a file with the desktop's program,
// showing a form modally and the print preview. Production uses the desktop's
// Qt dialogs (DesktopDialogs.h, in the widgets library); tests install a
// scripted implementation that answers from a queue and hands them the form
// instead of entering a nested event loop.

#include "KExport.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

class QWidget;
class QDialog;
class QPrinter;

enum class TMsgDlgType { Warning, Error, Information, Confirmation };

// Buttons and results; results use the same values as the buttons.
enum TMsgDlgBtn : int {
    mbNone = 0,
    mbOK = 1,
    mbCancel = 2,
    mbYes = 4,
    mbNo = 8,
    mbDefaultNo = 16, // with mbYes | mbNo: "Ne" is the default button (a question that risks something)
};
using TMsgDlgButtons = int;
using TModalResult = int; // mbOK, mbCancel, mbYes, mbNo, or mbNone when closed otherwise

class KCOMMON_EXPORT IDialogs
{
public:
    virtual ~IDialogs() = default;
    virtual TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                                    int helpContext = 0) = 0;
    // An error with details a user may unfold (the database's words, the
    // statement). Base: the message alone.
    virtual void ErrorDlg(const QString &text, const QString &details)
    {
        Q_UNUSED(details);
        MessageDlg(text, TMsgDlgType::Error, mbOK);
    }
    // A read the database has been working on for a while: shows the wait
    // (seconds so far; whether the server still answers a second connection;
    // rows loaded so far, 0 while the statement has delivered none). Called
    // again every few hundredths of a second while the wait lasts. False when
    // the user cancels. Base: waits on.
    virtual bool DatabaseWait(int seconds, bool serverAnswers, qint64 rowsLoaded)
    {
        Q_UNUSED(seconds);
        Q_UNUSED(serverAnswers);
        Q_UNUSED(rowsLoaded);
        return true;
    }
    virtual void DatabaseWaitEnded() {}
    // A short word to the user that needs no answer (a cancelled load), shown
    // where the window shows its status. Base: nothing.
    virtual void Notice(const QString &text) { Q_UNUSED(text); }
    // Modal pickers on a value passed by reference; true when confirmed.
    virtual bool GetDate(QDate &date) = 0;
    virtual bool GetDateTime(QDateTime &dateTime) = 0;
    // Folder picker; empty text on cancel.
    virtual QString BrowseDialog(const QString &title, int flags) = 0;
    // File-open dialog; empty text on cancel.
    virtual QString OpenFileDialog(const QString &title, const QString &filter) = 0;
    // File-save dialog starting at fileName, asking before a file is
    // replaced; empty text on cancel. Base: cancelled.
    virtual QString SaveFileDialog(const QString &title, const QString &filter, const QString &fileName)
    {
        Q_UNUSED(title);
        Q_UNUSED(filter);
        Q_UNUSED(fileName);
        return {};
    }
    // A long task of the user's own (an export): done of total steps, total
    // 0 when unknown. Called again as it goes on; false when the user
    // cancelled. TaskProgressEnded closes what it showed. Base: goes on.
    virtual bool TaskProgress(const QString &text, qint64 done, qint64 total)
    {
        Q_UNUSED(text);
        Q_UNUSED(done);
        Q_UNUSED(total);
        return true;
    }
    virtual void TaskProgressEnded() {}
    // Opens a file with the desktop's associated program.
    virtual bool OpenWithDefaultApplication(const QString &path) = 0;
    // Shows a dialog modally and returns its QDialog result code.
    virtual int ShowModal(QDialog &dialog) = 0;
    // Shows the pages paint draws on the printer; the user prints them or
    // saves them as PDF from there. paint may be called more than once.
    virtual void PrintPreview(QPrinter &printer, const std::function<void(QPrinter &)> &paint) = 0;
    // Shows a user guide (a resource path) at a section (empty: the top) in
    // the help window, which stays open beside the program's windows.
    virtual void ShowHelp(const QString &resource, const QString &title, const QString &anchor) = 0;
};

// No one to ask (no window system, or none loaded yet): every question is
// answered as if its dialog were closed; messages go to the log.
class KCOMMON_EXPORT TNoDialogs : public IDialogs
{
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0) override;
    bool GetDate(QDate &) override { return false; }
    bool GetDateTime(QDateTime &) override { return false; }
    QString BrowseDialog(const QString &, int) override { return {}; }
    QString OpenFileDialog(const QString &, const QString &) override { return {}; }
    bool OpenWithDefaultApplication(const QString &) override { return false; }
    int ShowModal(QDialog &) override { return 0; }
    void PrintPreview(QPrinter &, const std::function<void(QPrinter &)> &) override {}
    void ShowHelp(const QString &, const QString &, const QString &) override {}
};

// "Učitano 120.000 stavki…": the progress of a long load.
KCOMMON_EXPORT QString LoadedRowsText(qint64 rows);

// The dialogs in force; tests replace them with SetDialogs.
KCOMMON_EXPORT IDialogs &Dialogs();
// Installs an implementation and returns the previous one; none puts the
// default back.
KCOMMON_EXPORT std::unique_ptr<IDialogs> SetDialogs(std::unique_ptr<IDialogs> dialogs);
// The default the seam makes when nothing was installed: the desktop dialogs
// (DesktopDialogs.h) register theirs when their library loads. Without one
// every question is answered as if it were closed.
using TDialogsFactory = std::unique_ptr<IDialogs> (*)();
KCOMMON_EXPORT void SetDefaultDialogs(TDialogsFactory factory);

// Convenience for the common case.
inline TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0)
{
    return Dialogs().MessageDlg(text, type, buttons, helpContext);
}
inline bool GetDate(QDate &date) { return Dialogs().GetDate(date); }
inline bool GetDateTime(QDateTime &dateTime) { return Dialogs().GetDateTime(dateTime); }
inline QString BrowseDialog(const QString &title, int flags) { return Dialogs().BrowseDialog(title, flags); }
