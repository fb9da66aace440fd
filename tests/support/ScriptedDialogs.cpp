#include "ScriptedDialogs.h"

#include <QPrinter>
#include <type_traits>

namespace {
// The next scripted answer, or the fallback once the script has run out.
template <class T>
T takeNext(std::deque<T> &answers, std::type_identity_t<T> fallback = {})
{
    if (answers.empty())
        return fallback;
    T a = std::move(answers.front());
    answers.pop_front();
    return a;
}

template <class T>
bool nextChoice(std::deque<std::optional<T>> &answers, T &value)
{
    const std::optional<T> a = takeNext(answers);
    if (a)
        value = *a;
    return a.has_value();
}
} // namespace

TModalResult ScriptedDialogs::MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    Messages.append({text, type, buttons});
    return takeNext(MessageAnswers, mbOK);
}

bool ScriptedDialogs::GetDate(QDate &date) { return nextChoice(DateAnswers, date); }

bool ScriptedDialogs::GetDateTime(QDateTime &dateTime) { return nextChoice(DateTimeAnswers, dateTime); }

QString ScriptedDialogs::BrowseDialog(const QString &title, int)
{
    BrowseTitles << title;
    return takeNext(BrowseAnswers);
}

QString ScriptedDialogs::OpenFileDialog(const QString &title, const QString &filter)
{
    FileDialogs << title + u'|' + filter;
    return takeNext(FileAnswers);
}

QString ScriptedDialogs::SaveFileDialog(const QString &title, const QString &filter, const QString &fileName)
{
    FileDialogs << title + u'|' + filter + u'|' + fileName;
    return takeNext(SaveFileAnswers);
}

bool ScriptedDialogs::TaskProgress(const QString &, qint64 done, qint64)
{
    TaskSteps << done;
    return TaskSteps.size() - 1 != CancelTaskAt;
}

bool ScriptedDialogs::OpenWithDefaultApplication(const QString &path)
{
    OpenedFiles << path;
    return true;
}

int ScriptedDialogs::ShowModal(QDialog &dialog)
{
    ++ModalCount;
    ShownDialogs << &dialog;
    if (ModalHandlers.empty())
        return QDialog::Rejected;
    auto handler = std::move(ModalHandlers.front());
    ModalHandlers.pop_front();
    const int r = handler(dialog);
    ShownDialogs.removeAll(&dialog);
    return r;
}

void ScriptedDialogs::PrintPreview(QPrinter &printer, const std::function<void(QPrinter &)> &paint)
{
    Previews << printer.docName();
    if (PreviewHandlers.empty())
        return;
    auto handler = std::move(PreviewHandlers.front());
    PreviewHandlers.pop_front();
    handler(printer, paint);
}

ScopedScriptedDialogs::ScopedScriptedDialogs()
{
    auto d = std::make_unique<ScriptedDialogs>();
    m_dialogs = d.get();
    m_previous = SetDialogs(std::move(d));
}

ScopedScriptedDialogs::~ScopedScriptedDialogs()
{
    SetDialogs(std::move(m_previous));
}

bool ScriptedDialogs::DatabaseWait(int, bool serverAnswers, qint64 rowsLoaded)
{
    DatabaseWaits << serverAnswers;
    DatabaseWaitRows << rowsLoaded;
    return DatabaseWaits.size() - 1 != CancelDatabaseWaitAt;
}
