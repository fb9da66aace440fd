// The help guide in the user's script, also when the script changes while
// the guide is open.

#include "HelpWindow.h"
#include "ScopedScript.h"
#include "screens/LedgerHelpContexts.h"

#include <QTextBrowser>
#include <QtTest>

Q_DECLARE_METATYPE(TScript)

class TestHelpScript : public QObject
{
    Q_OBJECT

private slots:
    void guideInTheUserScript_data()
    {
        QTest::addColumn<TScript>("script");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("heading");
        QTest::newRow("Latin") << TScript::Latin << "Uputstvo — Delovodnik" << "Delovodnik — kratko uputstvo";
        QTest::newRow("Cyrillic") << TScript::Cyrillic << "Упутство — Деловодник" << "Деловодник — кратко упутство";
    }
    void guideInTheUserScript()
    {
        QFETCH(TScript, script);
        QFETCH(QString, title);
        QFETCH(QString, heading);
        THelpWindow *window = THelpWindow::Show(LedgerHelpGuide(), LedgerHelpTitle(), QString());
        const ScopedScript chosen(script);
        QCOMPARE(THelpWindow::Show(LedgerHelpGuide(), LedgerHelpTitle(), QStringLiteral("tasteri")), window);
        QCOMPARE(window->windowTitle(), title);
        const QString text = window->Browser()->toPlainText();
        QVERIFY2(text.startsWith(heading), qPrintable(text.left(80)));
        // key names as the keys print them
        QVERIFY(text.contains(QStringLiteral("F1")) && text.contains(QStringLiteral("Ctrl+Shift+P")));
        window->close();
        QTRY_VERIFY(!THelpWindow::Instance());
    }
};

QTEST_MAIN(TestHelpScript)
#include "tst_helpscript.moc"
