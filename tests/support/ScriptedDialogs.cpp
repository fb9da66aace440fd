#include "ScriptedDialogs.h"

#include <QPrinter>

TModalResult ScriptedDialogs::MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    Messages.append({text, type, buttons});
    if (MessageAnswers.empty())
        return mbOK;
    const TModalResult r = MessageAnswers.front();
    MessageAnswers.pop_front();
    return r;
}

bool ScriptedDialogs::GetDate(QDate &date)
{
    if (DateAnswers.empty())
        return false;
    const auto a = DateAnswers.front();
    DateAnswers.pop_front();
    if (!a)
        return false;
    date = *a;
    return true;
}

bool ScriptedDialogs::GetDateTime(QDateTime &dateTime)
{
    if (DateTimeAnswers.empty())
        return false;
    const auto a = DateTimeAnswers.front();
    DateTimeAnswers.pop_front();
    if (!a)
        return false;
    dateTime = *a;
    return true;
}

QString ScriptedDialogs::BrowseDialog(const QString &title, int)
{
    BrowseTitles << title;
    if (BrowseAnswers.empty())
        return {};
    const QString a = BrowseAnswers.front();
    BrowseAnswers.pop_front();
    return a;
}

QString ScriptedDialogs::OpenFileDialog(const QString &title, const QString &filter)
{
    FileDialogs << title + u'|' + filter;
    if (FileAnswers.empty())
        return {};
    const QString a = FileAnswers.front();
    FileAnswers.pop_front();
    return a;
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
