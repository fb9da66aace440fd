#include "CommandRunner.h"

#include "CommandLine.h"
#include "Console.h"
#include "Dialogs.h"
#include "InterfaceScript.h"

#include <QTextStream>
#include <cstdio>
#include <functional>

namespace {

void report(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

class TCommandDialogs : public TNoDialogs
{
public:
    TModalResult MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons buttons, int) override
    {
        report(text);
        // Nobody answers a question: the cautious answer.
        return buttons & mbCancel ? mbCancel : buttons & mbNo ? mbNo : mbOK;
    }
    void ErrorDlg(const QString &text, const QString &details) override
    {
        report(details.isEmpty() ? text : text + QStringLiteral("\n") + details);
    }
    void Notice(const QString &text) override { report(text); }
};

// A module with commands, and what of the line is its.
struct TModuleLine
{
    IRef<IModuleCommands> Commands;
    TCommandValues Values;
    bool HasCommand = false;
};

std::vector<TModuleLine> moduleLines(const TCommandLine &line, TConsole &console)
{
    std::vector<TModuleLine> modules;
    for (const IRef<ISnapin> &snapin : console.Snapins()) {
        TModuleLine module{snapin.query<IModuleCommands>(), {}, false};
        if (!module.Commands)
            continue;
        for (const TCommandOption &option : module.Commands->CommandOptions()) {
            const auto given = line.ModuleValues.constFind(option.Name);
            if (given == line.ModuleValues.cend())
                continue;
            module.Values.insert(option.Name, *given);
            module.HasCommand = module.HasCommand || option.IsCommand;
        }
        modules.push_back(module);
    }
    return modules;
}

} // namespace

QList<TCommandOption> ModuleCommandOptions(TConsole &console)
{
    QList<TCommandOption> options;
    for (const IRef<ISnapin> &snapin : console.Snapins())
        if (IRef<IModuleCommands> commands = snapin.query<IModuleCommands>())
            options += commands->CommandOptions();
    return options;
}

bool HasCommand(const TCommandLine &line, TConsole &console)
{
    for (const TModuleLine &module : moduleLines(line, console))
        if (module.HasCommand)
            return true;
    return false;
}

QString CommandLineProblem(const TCommandLine &line, TConsole &console)
{
    int commands = 0;
    for (const TModuleLine &module : moduleLines(line, console)) {
        if (module.Values.isEmpty())
            continue;
        if (const QString problem = module.Commands->CommandLineProblem(module.Values, line.User.has_value());
            !problem.isEmpty())
            return problem;
        commands += int(module.HasCommand);
    }
    if (commands > 1)
        return UiText(u"Odjednom se radi samo jedna naredba jednog modula.");
    return {};
}

std::unique_ptr<IDialogs> MakeCommandDialogs()
{
    return std::make_unique<TCommandDialogs>();
}

int RunCommand(const TCommandLine &line, TConsole &console, const TUserDesc &user)
{
    QTextStream out(stdout), err(stderr);
    for (const TModuleLine &module : moduleLines(line, console))
        if (module.HasCommand)
            return module.Commands->RunCommand(module.Values, TCommandContext{user, out, err});
    return ceDone;
}
