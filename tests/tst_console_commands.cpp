// The modules' commands on the console's command line: which lines start
// without a window, and how the options given reach the module offering them.

#include "CommandLine.h"
#include "CommandRunner.h"
#include "Console.h"

#include <QTextStream>
#include <QtTest>

namespace {

// A snap-in offering commands: "run-NAME" and its switch "level-NAME".
class CommandSnapin : public TInterfacedObject, public ISnapin, public IModuleCommands
{
public:
    explicit CommandSnapin(QString name) : m_name(std::move(name)) {}
    bool QueryInterface(const QUuid &iid, void **out) override
    {
        if (iid == ISnapin::IID())
            return answer<ISnapin>(this, out);
        if (iid == IModuleCommands::IID())
            return answer<IModuleCommands>(this, out);
        return TInterfacedObject::QueryInterface(iid, out);
    }
    TDataSet *GetDataSet() override { return nullptr; }
    QString GetDescription() override { return {}; }
    QImage GetImage() override { return {}; }
    QString GetName() override { return m_name; }
    qint32 GetSnapinType() override { return 0; }

    QList<TCommandOption> CommandOptions() override
    {
        return {{QStringLiteral("run-") + m_name, QStringLiteral("Radi."), QStringLiteral("FILE"), true},
                {QStringLiteral("level-") + m_name, QStringLiteral("Nivo."), QString(), false}};
    }
    QString CommandLineProblem(const TCommandValues &values, bool withLogin) override
    {
        return withLogin ? QString() : m_name + QStringLiteral(" traži --user");
    }
    int RunCommand(const TCommandValues &values, const TCommandContext &context) override
    {
        Ran = values;
        RanAs = context.User.Login;
        return values.value(QStringLiteral("run-") + m_name) == QLatin1String("nema") ? ceFailed : ceDone;
    }

    TCommandValues Ran;
    QString RanAs;

private:
    QString m_name;
};

} // namespace

class TestConsoleCommands : public QObject
{
    Q_OBJECT
    IRef<TConsole> m_console{new TConsole};
    IRef<CommandSnapin> m_a{new CommandSnapin(QStringLiteral("a"))};
    IRef<CommandSnapin> m_b{new CommandSnapin(QStringLiteral("b"))};

    static TCommandLine lineWith(const TCommandValues &values, bool user = true)
    {
        TCommandLine line;
        line.ModuleValues = values;
        if (user)
            line.User = QStringLiteral("ana");
        return line;
    }

private slots:
    void initTestCase()
    {
        m_console->AddSnapin(IRef<ISnapin>(m_a));
        m_console->AddSnapin(IRef<ISnapin>(m_b));
    }
    void cleanupTestCase() { m_console->Clear(); }

    void noWindow_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("noWindow");
        QTest::newRow("console's own") << QStringList{"--user", "ana", "--size=800x600", "-h"} << false;
        QTest::newRow("a module's") << QStringList{"--user", "ana", "--export-csv", "a.csv"} << true;
        QTest::newRow("a module's with =") << QStringList{"--register-pdf=b.pdf"} << true;
        QTest::newRow("after --") << QStringList{"--", "x"} << false;
        QTest::newRow("the script, a window") << QStringList{"--user", "ana", "--script", "cyrillic"} << false;
    }
    void noWindow()
    {
        QFETCH(QStringList, args);
        QList<QByteArray> bytes{"kconsole"};
        for (const QString &arg : args)
            bytes << arg.toUtf8();
        std::vector<char *> argv;
        for (QByteArray &b : bytes)
            argv.push_back(b.data());
        QTEST(WantsNoWindow(int(argv.size()), argv.data()), "noWindow");
    }

    void optionsOfEveryModule()
    {
        QStringList names;
        for (const TCommandOption &option : ModuleCommandOptions(*m_console.get()))
            names << option.Name;
        QCOMPARE(names, QStringList({"run-a", "level-a", "run-b", "level-b"}));
    }

    void problems_data()
    {
        QTest::addColumn<TCommandValues>("values");
        QTest::addColumn<bool>("user");
        QTest::addColumn<bool>("command");
        QTest::addColumn<QString>("problem");
        QTest::newRow("nothing") << TCommandValues{} << false << false << "";
        QTest::newRow("a switch only") << TCommandValues{{"level-a", ""}} << true << false << "";
        QTest::newRow("one command") << TCommandValues{{"run-b", "f"}, {"level-b", ""}} << true << true << "";
        QTest::newRow("the module's verdict") << TCommandValues{{"run-b", "f"}} << false << true << "b traži --user";
        QTest::newRow("two modules") << TCommandValues{{"run-a", "f"}, {"run-b", "g"}} << true << true
                                     << "Odjednom se radi samo jedna naredba jednog modula.";
    }
    void problems()
    {
        QFETCH(TCommandValues, values);
        QFETCH(bool, user);
        const TCommandLine line = lineWith(values, user);
        QTEST(HasCommand(line, *m_console.get()), "command");
        QTEST(CommandLineProblem(line, *m_console.get()), "problem");
    }

    void runsThroughTheModuleOfTheCommand_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("done") << "f.csv" << 0;
        QTest::newRow("failed") << "nema" << 1;
    }
    void runsThroughTheModuleOfTheCommand()
    {
        QFETCH(QString, file);
        m_a->Ran.clear();
        TUserDesc user;
        user.Login = QStringLiteral("ana");
        const int exitCode = RunCommand(lineWith({{"run-b", file}, {"level-b", ""}, {"level-a", ""}}), *m_console.get(), user);
        QTEST(exitCode, "exitCode");
        QCOMPARE(m_b->Ran, (TCommandValues{{"run-b", file}, {"level-b", ""}}));
        QCOMPARE(m_b->RanAs, QStringLiteral("ana"));
        QVERIFY(m_a->Ran.isEmpty());
    }
};

QTEST_MAIN(TestConsoleCommands)
#include "tst_console_commands.moc"
