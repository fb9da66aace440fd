// Qt's own texts and dates in Serbian Latin once InstallSerbianTexts ran.

#include "SerbianQtTexts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <memory>

class TestSerbianTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InstallSerbianTexts(*qApp); }

    void translate_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("serbian");
        QTest::newRow("button") << "QPlatformTheme" << "Cancel" << "Otkaži";
        QTest::newRow("button with mnemonic") << "QPlatformTheme" << "&No" << "&Ne";
        QTest::newRow("line edit menu") << "QLineEdit" << "Select All" << "Izaberi sve";
        QTest::newRow("text edit menu") << "QWidgetTextControl" << "&Paste" << "&Nalepi";
        QTest::newRow("key name") << "QShortcut" << "Space" << "Razmak";
        QTest::newRow("key name kept") << "QShortcut" << "Ctrl" << "Ctrl";
        QTest::newRow("key named as on its cap") << "QShortcut" << "Return" << "Enter";
        QTest::newRow("file dialog") << "QFileDialog" << "Look in:" << "Traži u:";
        QTest::newRow("unknown context") << "QSomethingElse" << "Cancel" << "Cancel";
    }

    void translate()
    {
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(QString, serbian);
        QCOMPARE(QCoreApplication::translate(context.toLatin1(), source.toLatin1()), serbian);
    }

    void calendar()
    {
        QCOMPARE(QLocale().firstDayOfWeek(), Qt::Monday);
        QCOMPARE(QLocale().monthName(3), QStringLiteral("mart"));
        QCOMPARE(QCalendarWidget().firstDayOfWeek(), Qt::Monday);
        QCOMPARE(QDate(2026, 3, 5).toString(QStringLiteral("dd.MM.yyyy")), QStringLiteral("05.03.2026"));
    }

    void standardWidgets()
    {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
        QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("U redu"));
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Otkaži"));
        QCOMPARE(box.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Da"));

        QLineEdit edit(QStringLiteral("tekst"));
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("&Opozovi\tCtrl+Z"));
        QCOMPARE(QKeySequence(Qt::CTRL | Qt::Key_Left).toString(QKeySequence::NativeText), QStringLiteral("Ctrl+Levo"));
    }
};

QTEST_MAIN(TestSerbianTexts)
#include "tst_serbiantexts.moc"
