// Interface texts in the user's script, and Qt's own texts and calendars with them.

#include "InterfaceScript.h"
#include "SerbianQtTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

class TestInterfaceScript : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InstallSerbianTexts(*qApp); }
    void cleanup() { SetInterfaceScript(TScript::Latin); }

    void inCyrillic_data()
    {
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("cyrillic");
        QTest::newRow("caption") << "Sačuvaj" << "Сачувај";
        QTest::newRow("mnemonic") << "&Datoteka" << "&Датотека";
        QTest::newRow("digraphs") << "Ljubljana, Njegoš, džep" << "Љубљана, Његош, џеп";
        QTest::newRow("placeholders") << "Stavka %1/%L2 (%n)" << "Ставка %1/%L2 (%n)";
        QTest::newRow("printf placeholders") << "Polje %s mora imati najviše %d znakova."
                                             << "Поље %s мора имати највише %d знакова.";
        QTest::newRow("markup") << "<b>Napomena</b>&nbsp;je <a href=\"#uvod\">ovde</a>"
                                << "<b>Напомена</b>&nbsp;је <a href=\"#uvod\">овде</a>";
        QTest::newRow("file filter") << "PDF datoteke (*.pdf)" << "ПДФ датотеке (*.pdf)";
        QTest::newRow("file name") << "Podešavanja su u kconsole.ini." << "Подешавања су у kconsole.ini.";
        QTest::newRow("option") << "Koristite --script cyrillic" << "Користите --script cyrillic";
        QTest::newRow("option in parentheses") << "Navedite naziv (--organization)." << "Наведите назив (--organization).";
        QTest::newRow("address") << "Pišite na pisarnica@cacak.rs ili https://cacak.rs"
                                 << "Пишите на pisarnica@cacak.rs или https://cacak.rs";
        QTest::newRow("program names") << "Baza MariaDB ili SQLite (Qt, Tesseract)"
                                       << "База MariaDB или SQLite (Qt, Tesseract)";
        QTest::newRow("foreign word") << "Wi-Fi mreža" << "Wi-Fi мрежа";
        QTest::newRow("exception") << "Injekcija" << "Инјекција";
        QTest::newRow("abbreviation") << "d.o.o." << "д.о.о.";
        QTest::newRow("date and number") << "05.03.2026, 12/26-1" << "05.03.2026, 12/26-1";
        QTest::newRow("required mark") << "Datum i vreme*" << "Датум и време*";
    }

    void inCyrillic()
    {
        QFETCH(QString, latin);
        QFETCH(QString, cyrillic);
        QCOMPARE(InterfaceText(latin, TScript::Cyrillic), cyrillic);
        QCOMPARE(InterfaceText(latin, TScript::Latin), latin);
    }

    void dataInScript_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("latin");
        QTest::addColumn<QString>("cyrillic");
        QTest::newRow("latin") << "JKP Vodovod Čačak" << "JKP Vodovod Čačak" << "ЈКП Водовод Чачак";
        QTest::newRow("cyrillic") << "Општина Чачак" << "Opština Čačak" << "Општина Чачак";
        QTest::newRow("capital digraph") << "ЉУБАВ Љубав" << "LJUBAV Ljubav" << "ЉУБАВ Љубав";
        QTest::newRow("mixed") << "Đorđe i Ђорђе" << "Đorđe i Đorđe" << "Ђорђе и Ђорђе";
    }

    void dataInScript()
    {
        QFETCH(QString, text);
        QFETCH(QString, latin);
        QFETCH(QString, cyrillic);
        QCOMPARE(DataInScript(text, TScript::Latin), latin);
        QCOMPARE(DataInScript(text, TScript::Cyrillic), cyrillic);
    }

    void scriptNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("script"); // -1: not a script
        QTest::newRow("latin") << "latin" << int(TScript::Latin);
        QTest::newRow("cyrillic") << "cyrillic" << int(TScript::Cyrillic);
        QTest::newRow("serbian") << "Ćirilica" << int(TScript::Cyrillic);
        QTest::newRow("in cyrillic") << "латиница" << int(TScript::Latin);
        QTest::newRow("unknown") << "greek" << -1;
        QTest::newRow("empty") << "" << -1;
    }

    void scriptNames()
    {
        QFETCH(QString, name);
        QFETCH(int, script);
        const std::optional<TScript> parsed = ScriptFromName(name);
        QCOMPARE(parsed ? int(*parsed) : -1, script);
    }

    void followsTheScript()
    {
        QCOMPARE(UiText(u"Zatvori"), QStringLiteral("Zatvori"));
        SetInterfaceScript(TScript::Cyrillic);
        QCOMPARE(UiText(u"Zatvori"), QStringLiteral("Затвори"));
        QCOMPARE(QLocale().monthName(3), QStringLiteral("март"));
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Откажи"));
        // A layout's text (its class names the context) follows; Qt's texts
        // the table does not know stay Qt's.
        QCOMPARE(QCoreApplication::translate("LedgerDetailForm", "Predmet"), QStringLiteral("Предмет"));
        QCOMPARE(QCoreApplication::translate("QSomethingElse", "Cancel"), QStringLiteral("Cancel"));
        // Keys: a Serbian name in the script, the cap's own name as printed.
        QCOMPARE(QCoreApplication::translate("QShortcut", "Space"), QStringLiteral("Размак"));
        QCOMPARE(QCoreApplication::translate("QShortcut", "Return"), QStringLiteral("Enter"));
        SetInterfaceScript(TScript::Latin);
        QCOMPARE(QCoreApplication::translate("LedgerDetailForm", "Predmet"), QStringLiteral("Predmet"));
        QCOMPARE(QLocale().monthName(3), QStringLiteral("mart"));
    }

    void widgetsHearOfTheChange()
    {
        struct TListener : QWidget
        {
            int Changes = 0;
            void changeEvent(QEvent *e) override
            {
                Changes += e->type() == QEvent::LanguageChange;
                QWidget::changeEvent(e);
            }
        } listener;
        SetInterfaceScript(TScript::Cyrillic);
        QCoreApplication::processEvents();
        QCOMPARE(listener.Changes, 1);
    }
};

QTEST_MAIN(TestInterfaceScript)
#include "tst_interfacescript.moc"
