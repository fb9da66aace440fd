// The documents' register and the list of document types over a real
// database with the console's sample rows: the stores, their windows, the
// document picker's "Novi…" and the IItemTypes service.

#include "DocumentService.h"
#include "DocumentStore.h"
#include "DocumentsWindow.h"
#include "InterfaceScript.h"
#include "ItemTypeService.h"
#include "ItemTypeStore.h"
#include "ItemTypesWindow.h"
#include "KException.h"
#include "RegisterTable.h"
#include "SampleData.h"
#include "ScriptedDialogs.h"
#include "TestConsole.h"
#include "TestDb.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>
#include <barrier>
#include <thread>

namespace {

const QString Sample = QStringLiteral("Dopis|Faktura|Obaveštenje|Odgovor na zahtev|Rešenje|Ugovor|Zahtev|Zapisnik|Žalba");

QLineEdit *edit(QDialog &dialog, const char *name) { return dialog.findChild<QLineEdit *>(QLatin1String(name)); }
void click(QDialog &dialog, const char *name) { dialog.findChild<QPushButton *>(QLatin1String(name))->click(); }

// The message of the refusal work meets; empty when it goes through.
QString refusal(const std::function<void()> &work)
{
    try {
        work();
    } catch (const KException &e) {
        return e.message();
    }
    return {};
}

} // namespace

class TestRegistersDocuments : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(m_db);
        SampleData::Fill(m_db.Connection());
        m_security = IRef<TestSecurity>(new TestSecurity);
        m_security->Connection = &m_db.Connection();
        m_security->User = {scalar(QStringLiteral("SELECT userid FROM user WHERE login = 'ana'")).toInt(),
                            QStringLiteral("ana"), QStringLiteral("Ana"), QStringLiteral("Petrović")};
    }

    void init()
    {
        REQUIRE_TESTDB(m_db);
        m_security->User.Administrator = true;
    }

    void documentHistory()
    {
        TDocumentStore store(m_db.Connection(), RegisterActor(7, QStringLiteral("Ana Petrović")));
        const qint64 id = store.Insert({0, QStringLiteral("  ist-1/26 "), QString()});
        QCOMPARE(history(QStringLiteral("document"), id), QStringList{"i|Ana Petrović|number||ist-1/26"});
        QCOMPARE(scalar(QStringLiteral("SELECT number FROM document WHERE documentid = ?"), {id}).toString(), QStringLiteral("ist-1/26"));

        store.Update({id, QStringLiteral("ist-1/26"), QStringLiteral("Istorija")});
        store.Update({id, QStringLiteral("ist-1/26"), QStringLiteral("Istorija")}); // nothing changed: nothing recorded
        QCOMPARE(history(QStringLiteral("document"), id),
                 (QStringList{"i|Ana Petrović|number||ist-1/26", "u|Ana Petrović|description||Istorija"}));
        QCOMPARE(refusal([&] { store.Update({id, QStringLiteral(" "), QString()}); }), QStringLiteral("Broj dokumenta mora biti upisan."));
        QCOMPARE(refusal([&] { store.Insert({0, QString(31, u'7'), QString()}); }),
                 QStringLiteral("Broj dokumenta može imati najviše 30 znakova."));
        QCOMPARE(refusal([&] { store.Update({987654, QStringLiteral("X"), QString()}); }), QStringLiteral("Dokument „X“ više ne postoji."));
        QCOMPARE(count(QStringLiteral("registerhistory")), 2);
    }

    // A refused save keeps the form open with what was typed; the second try
    // stores, and the new row is the list's current one.
    void documentsWindowAdds()
    {
        ScopedScriptedDialogs dialogs;
        QString keptDescription, listed;
        int stillOpen = -1;
        dialogs->ModalHandlers.push_back([&](QDialog &window) {
            click(window, "addButton");
            auto *table = window.findChild<TRegisterTable *>();
            listed = table ? scalar(QStringLiteral("SELECT number FROM document WHERE documentid = ?"), {table->CurrentID()}).toString()
                           : QString();
            return int(QDialog::Rejected);
        });
        dialogs->ModalHandlers.push_back([&](QDialog &form) {
            edit(form, "descriptionEdit")->setText(QStringLiteral("Prijava štete"));
            click(form, "okButton");
            stillOpen = form.result();
            keptDescription = edit(form, "descriptionEdit")->text();
            edit(form, "numberEdit")->setText(QStringLiteral("PŠ-4/26"));
            click(form, "okButton");
            return form.result();
        });
        ShowDocumentsWindow(m_db.Connection(), m_security.get());
        QCOMPARE(stillOpen, int(QDialog::Rejected));
        QCOMPARE(keptDescription, QStringLiteral("Prijava štete"));
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(dialogs->Messages.first().Text, QStringLiteral("Broj dokumenta mora biti upisan."));
        QCOMPARE(listed, QStringLiteral("PŠ-4/26"));
    }

    void documentsFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("rows");
        QTest::newRow("no diacritics") << "izvestaj o popisu" << 1;
        QTest::newRow("Cyrillic") << "Жалба на" << 1;
        QTest::newRow("number") << "ug-0" << 2;
    }

    void documentsFilter()
    {
        QFETCH(QString, filter);
        QFETCH(int, rows);
        TDocumentsWindow window(m_db.Connection(), m_security.get());
        window.Table()->SetFilter(filter);
        QCOMPARE(window.Table()->VisibleRows(), rows);
    }

    void pickerOffersNew_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("stored and chosen") << true;
        QTest::newRow("form cancelled") << false;
    }

    void pickerOffersNew()
    {
        QFETCH(bool, save);
        ScopedScriptedDialogs dialogs;
        QString shownNumber;
        dialogs->ModalHandlers.push_back([&](QDialog &picker) {
            edit(picker, "filterEdit")->setText(QStringLiteral("NOV-9/26"));
            click(picker, "newButton");
            return picker.result();
        });
        dialogs->ModalHandlers.push_back([&](QDialog &form) {
            shownNumber = edit(form, "numberEdit")->text();
            edit(form, "descriptionEdit")->setText(QStringLiteral("Novi iz izbora"));
            click(form, save ? "okButton" : "cancelButton");
            return form.result();
        });
        const int before = count(QStringLiteral("document"));
        IRef<TDocumentService> service(new TDocumentService(&m_db.Connection(), IRef<ISecurity>(m_security)));
        TDocumentDesc desc;
        QCOMPARE(service->SelectDocument(desc), save);
        QCOMPARE(shownNumber, QStringLiteral("NOV-9/26"));
        QCOMPARE(count(QStringLiteral("document")), before + (save ? 1 : 0));
        QCOMPARE(desc.Number, QString(save ? "NOV-9/26" : ""));
        QCOMPARE(desc.DocumentID != 0, save);
    }

    void itemTypesRenameAndDeactivate()
    {
        IRef<TItemTypeService> service(new TItemTypeService(&m_db.Connection(), IRef<ISecurity>(m_security)));
        TItemTypeStore store(m_db.Connection(), RegisterActor(7, QStringLiteral("Ana Petrović")));
        const qint64 id = store.Add(QStringLiteral("Uverenje"));
        store.Rename(id, QStringLiteral("Uverenje o prebivalištu"));
        QCOMPARE(refusal([&] { store.Rename(id, QStringLiteral("faktura")); }), QStringLiteral("Vrsta dokumenta „Faktura“ već postoji na listi."));
        QCOMPARE(service->ItemTypes().join(u'|'),
                 QStringLiteral("Dopis|Faktura|Obaveštenje|Odgovor na zahtev|Rešenje|Ugovor|Uverenje o prebivalištu|"
                                "Zahtev|Zapisnik|Žalba"));

        store.SetActive(id, false);
        QCOMPARE(service->ItemTypes().join(u'|'), Sample);
        QCOMPARE(refusal([&] { store.Add(QStringLiteral("uverenje o prebivalistu")); }),
                 QStringLiteral("Vrsta dokumenta „Uverenje o prebivalištu“ već postoji na listi kao neaktivna; aktivirajte je."));
        QCOMPARE(history(QStringLiteral("itemtype"), id).mid(2),
                 (QStringList{"u|Ana Petrović|name|Uverenje|Uverenje o prebivalištu", "u|Ana Petrović|active|y|n"}));
    }

    void itemTypeAdd_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // empty: stored
        QTest::newRow("same name") << "Dopis" << "Vrsta dokumenta „Dopis“ već postoji na listi.";
        QTest::newRow("without diacritics") << "resenje" << "Vrsta dokumenta „Rešenje“ već postoji na listi.";
        QTest::newRow("Cyrillic") << "Жалба" << "Vrsta dokumenta „Žalba“ već postoji na listi.";
        QTest::newRow("empty") << " " << "Naziv vrste dokumenta mora biti upisan.";
        QTest::newRow("new") << "Opomena" << "";
    }

    void itemTypeAdd()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const int before = count(QStringLiteral("itemtype"));
        TItemTypeStore store(m_db.Connection(), RegisterActor(7, QStringLiteral("Ana Petrović")));
        qint64 id = 0;
        QCOMPARE(refusal([&] { id = store.Add(name); }), message);
        QCOMPARE(count(QStringLiteral("itemtype")), before + (message.isEmpty() ? 1 : 0));
        if (message.isEmpty())
            QCOMPARE(history(QStringLiteral("itemtype"), id),
                     (QStringList{"i|Ana Petrović|active||y", "i|Ana Petrović|name||Opomena"}));
    }

    // Each desk on its own connection and thread; they meet before adding.
    void itemTypeTwoDesksAtOnce()
    {
        std::barrier meet(2);
        QString errors[2];
        bool stored[2] = {false, false};
        auto desk = [&](int k) {
            try {
                auto connection = m_db.OpenSecondConnection();
                TItemTypeStore store(*connection, RegisterActor(0, QStringLiteral("Desk")));
                meet.arrive_and_wait();
                store.Add(k == 0 ? QStringLiteral("Nalog") : QStringLiteral("NALOG"));
                stored[k] = true;
            } catch (const std::exception &e) {
                errors[k] = QString::fromUtf8(e.what());
            }
        };
        std::thread a(desk, 0), b(desk, 1);
        a.join();
        b.join();
        QCOMPARE(int(stored[0]) + int(stored[1]), 1);
        const QString refusal = errors[0] + errors[1];
        QVERIFY2(refusal.startsWith(QStringLiteral("Vrsta dokumenta „")) && refusal.endsWith(QStringLiteral("“ već postoji na listi.")),
                 qPrintable(refusal));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM itemtype WHERE name IN ('Nalog', 'NALOG')")).toInt(), 1);
    }

    void serviceAddsItemType_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("message"); // the one message shown; empty: none
        QTest::addColumn<bool>("stored");
        QTest::newRow("administrator, yes") << true << "Punomoćje" << int(mbYes) << true
                                            << "Dodati „Punomoćje“ u vrste dokumenta?" << true;
        QTest::newRow("administrator, no") << true << "Prigovor" << int(mbNo) << false
                                           << "Dodati „Prigovor“ u vrste dokumenta?" << false;
        QTest::newRow("on the list in another spelling") << true << "ZALBA" << int(mbYes) << true << "" << false;
        QTest::newRow("clerk") << false << "Molba" << int(mbYes) << false
                               << "Vrstu dokumenta „Molba“ može da doda na listu samo administrator. Stavka zadržava upisani tekst."
                               << false;
    }

    void serviceAddsItemType()
    {
        QFETCH(bool, administrator);
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(bool, result);
        QFETCH(QString, message);
        QFETCH(bool, stored);
        ScopedScriptedDialogs dialogs;
        dialogs->MessageAnswers.push_back(answer);
        m_security->User.Administrator = administrator;
        const int before = count(QStringLiteral("itemtype"));
        IRef<TItemTypeService> service(new TItemTypeService(&m_db.Connection(), IRef<ISecurity>(m_security)));
        QCOMPARE(service->AddItemType(name), result);
        QCOMPARE(dialogs->Messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(dialogs->Messages.first().Text, message);
        QCOMPARE(count(QStringLiteral("itemtype")), before + (stored ? 1 : 0));
    }

    void itemTypesWindowForAdministratorsOnly()
    {
        ScopedScriptedDialogs dialogs;
        m_security->User.Administrator = false;
        ShowItemTypesWindow(m_db.Connection(), m_security.get());
        QCOMPARE(dialogs->ModalCount, 0);
        QCOMPARE(dialogs->Messages.value(0).Text,
                 QStringLiteral("Listu vrsta dokumenta menja samo administrator. Obratite se administratoru programa."));

        m_security->User.Administrator = true;
        QString activeCaption;
        dialogs->ModalHandlers.push_back([&](QDialog &window) {
            click(window, "addButton");
            click(window, "activeButton");
            activeCaption = window.findChild<QPushButton *>(QStringLiteral("activeButton"))->text();
            return int(QDialog::Rejected);
        });
        dialogs->ModalHandlers.push_back([&](QDialog &form) {
            edit(form, "nameEdit")->setText(QStringLiteral("Izvod"));
            click(form, "okButton");
            return form.result();
        });
        ShowItemTypesWindow(m_db.Connection(), m_security.get());
        QCOMPARE(dialogs->ModalCount, 2);
        QCOMPARE(dialogs->Messages.size(), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT active FROM itemtype WHERE name = 'Izvod'")).toString(), QStringLiteral("n"));
        QCOMPARE(activeCaption, QStringLiteral("Aktiviraj"));
    }

    // A type written in Cyrillic among the Latin ones, in each script's order.
    void itemTypesInEachScript()
    {
        TItemTypeStore store(m_db.Connection(), RegisterActor(7, QStringLiteral("Ana Petrović")));
        store.Add(QStringLiteral("Молба"));
        const QStringList shown{"Dopis", "Faktura", "Молба", "Obaveštenje", "Žalba"};
        const auto order = [&](TScript script) {
            SetInterfaceScript(script);
            QStringList names = store.ActiveNames();
            SetInterfaceScript(TScript::Latin);
            names.removeIf([&](const QString &name) { return !shown.contains(name); });
            return names.join(u'|');
        };
        QCOMPARE(order(TScript::Latin), QStringLiteral("Dopis|Faktura|Молба|Obaveštenje|Žalba"));
        QCOMPARE(order(TScript::Cyrillic), QStringLiteral("Dopis|Žalba|Молба|Obaveštenje|Faktura"));
    }

private:
    QVariant scalar(const QString &sql, const QVariantList &params = {})
    {
        auto q = m_db.Connection().OpenQuery(sql, params);
        return q->next() ? q->value(0) : QVariant();
    }

    int count(const QString &table) { return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }

    // "kind|who|column|old|new" of each value recorded for the row, oldest first.
    QStringList history(const QString &table, qint64 id)
    {
        QStringList lines;
        auto q = m_db.Connection().OpenQuery(
            QStringLiteral("SELECT h.changekind, h.username, v.columnname, v.oldvalue, v.newvalue FROM registerhistory h "
                           "JOIN registerhistoryvalue v ON v.registerhistoryid = h.registerhistoryid "
                           "WHERE h.tablename = ? AND h.recordid = ? ORDER BY h.registerhistoryid, v.columnname"),
            {table, id});
        while (q->next())
            lines << QStringList{q->value(0).toString(), q->value(1).toString(), q->value(2).toString(),
                                 q->value(3).toString(), q->value(4).toString()}
                         .join(u'|');
        return lines;
    }

    TestDb m_db;
    IRef<TestSecurity> m_security;
};

QTEST_MAIN(TestRegistersDocuments)
#include "tst_registers_documents.moc"
