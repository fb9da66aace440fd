// Where the console keeps its ini file and a new SQLite book: beside the
// executable as a copied installation does, or in the user's folders when an
// installed one's folder is not the user's to write to.

#include "ConsolePaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestConsolePaths : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void pick_data()
    {
        QTest::addColumn<bool>("iniBesideExe");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("bookFolder");
        QTest::newRow("copied, writable") << false << true << "exe/kconsole.ini" << "exe";
        QTest::newRow("copied, ini already there") << true << true << "exe/kconsole.ini" << "exe";
        QTest::newRow("installed, administrator's ini") << true << false << "exe/kconsole.ini" << "exe";
        QTest::newRow("installed, no ini") << false << false << "config/Delovodnik/kconsole.ini" << "data/Delovodnik";
    }
    void pick()
    {
        QFETCH(bool, iniBesideExe);
        QFETCH(bool, writable);
        QFETCH(QString, ini);
        QFETCH(QString, bookFolder);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("exe")));
        if (iniBesideExe) {
            QFile file(root.filePath(QStringLiteral("exe/kconsole.ini")));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const TConsolePaths paths = ConsolePaths::Pick(root.filePath(QStringLiteral("exe")), QStringLiteral("kconsole.ini"), writable,
                                                       root.filePath(QStringLiteral("config/Delovodnik")),
                                                       root.filePath(QStringLiteral("data/Delovodnik")));
        QCOMPARE(paths.Ini, root.filePath(ini));
        QCOMPARE(paths.BookFolder, root.filePath(bookFolder));
    }

    // This test's own folder takes new files, so its paths stay beside it and
    // the user's folders are left alone.
    void thisProgram()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        const TConsolePaths paths = ConsolePaths::ForThisProgram(QStringLiteral("Delovodnik"));
        QCOMPARE(paths.Ini, QCoreApplication::applicationDirPath() + QStringLiteral("/tst_console_paths.ini"));
        QCOMPARE(paths.BookFolder, QCoreApplication::applicationDirPath());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("config/Delovodnik"))));
    }
};

QTEST_GUILESS_MAIN(TestConsolePaths)
#include "tst_console_paths.moc"
