// "Prijem dokumenta…" in the list: reading with its progress and "Otkaži",
// a reader's refusal, the stamp of an item answered, duplicates warned
// about, and the new item's form with the proposals beside its fields.
// The reader and the proposer are scripted; dialogs too.

#include "IntakeDocuments.h"
#include "LedgerFixture.h"
#include "ScanTestFiles.h"
#include "TestFiles.h"
#include "data/IntakeRegistration.h"
#include "data/ItemDocumentText.h"
#include "data/Stamp.h"
#include "screens/IntakeDesk.h"
#include "screens/IntakeProposalsPanel.h"
#include "screens/LedgerViewerUnit.h"

#include "DBControls.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

class TestIntakeDesk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        partner = fx.Insert(QStringLiteral("partner"), {{QStringLiteral("name"), QStringLiteral("Opština Čačak")}});
    }
    void cleanupTestCase()
    {
        QFile::remove(TLedgerDM::ApplicationIniFileName());
        fx.Stop();
    }
    void init()
    {
        list = std::make_unique<TLedgerViewerForm>(nullptr);
        desk = list->findChild<TIntakeDesk *>();
        QVERIFY(desk);
        text = QStringLiteral("Dopis %1 čćžšđ").arg(++serial);
        desk->Reader = [this](const QString &path, TIntakeControl &) {
            return IntakeTestDocument(TIntakeKind::Pdf, text, "%PDF-1.4 sken", qrCodes, path);
        };
        desk->Proposer = [this](const TIntakeDocument &, const QList<TIntakePartner> &, const QStringList &) {
            TIntakeProposals p = IntakeTestProposals(partner);
            if (!number.isEmpty())
                p.Proposals[1].Value = number;
            return p;
        };
        number.clear();
        qrCodes.clear();
    }

    void form_data()
    {
        QTest::addColumn<QString>("steps"); // "all": Prihvati sve; "ok": U redu; "esc": Odustani
        QTest::addColumn<QString>("number"); // the sender's, its own per row: no duplicate
        QTest::addColumn<QString>("subject");
        QTest::addColumn<int>("files");
        QTest::newRow("accepted all") << "all ok" << "404-12/2026-03" << "Zahtev za dopunu" << 1;
        QTest::newRow("type missing") << "ok esc" << "404-13/2026-03" << "" << 0;
        QTest::newRow("cancelled") << "all esc" << "404-14/2026-03" << "" << 0;
    }
    void form()
    {
        QFETCH(QString, steps);
        QFETCH(QString, number);
        QFETCH(QString, subject);
        this->number = number;
        QFETCH(int, files);
        ScanFolder folder;
        ScopedScriptedDialogs dialogs;
        const int items = fx.ItemCount();
        QStringList filled;
        dialogs->FileAnswers.push_back(QStringLiteral("/tmp/dopis.pdf"));
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto &form = static_cast<TLedgerDetailForm &>(dialog);
            auto *panel = form.findChild<TIntakeProposalsPanel *>();
            // Above the threshold filled and marked, below it only shown.
            filled << form.DBEdit3->text() << form.ItemNumberDBE->text() << form.ItemDateDBE->text()
                   << form.SubjectDBE->text() << form.ItemNumberDBE->property("intakeProposed").toString()
                   << form.SubjectDBE->property("intakeProposed").toString()
                   << panel->findChild<QLabel *>(QStringLiteral("SourceLabel"))->text();
            for (const QString &step : steps.split(u' ')) {
                if (step == QLatin1String("all"))
                    panel->AcceptAllButton->click();
                else if (step == QLatin1String("ok"))
                    form.CustomOK->trigger();
                else
                    form.CustomCancel->trigger();
                if (form.result() == QDialog::Accepted)
                    break;
            }
            return form.result();
        });
        desk->IntakeAction->trigger();

        QCOMPARE(dialogs->FileDialogs, QStringList("Prijem dokumenta|" + TIntakeDesk::FileFilter()));
        QCOMPARE(filled, QStringList({"Opština Čačak", number, "03.12.2026", "", "true", "",
                                      "PIB u tekstu · 98\u00A0%"}));
        QCOMPARE(fx.ItemCount(), items + (files ? 1 : 0));
        QCOMPARE(folder.Files().size(), files);
        if (!files)
            return;
        const qint64 id = fx.Scalar(QStringLiteral("SELECT MAX(ledgeritemid) FROM ledgeritem")).toLongLong();
        QCOMPARE(fx.Cell(id, "subject"), subject);
        QCOMPARE(fx.Cell(id, "itemtype"), QStringLiteral("Rešenje"));
        QCOMPARE(folder.Files(), QStringList(QStringLiteral("l%1.pdf").arg(id)));
        QCOMPARE(ItemDocumentText(fx.Db.Connection(), id), text);
        QCOMPARE(list->Items().LedgerItemZQledgeritemid->AsLargeInt(), id);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("refusal"); // "cancel": Otkaži while reading; else the reader's message
        QTest::addColumn<bool>("dropped");    // on the list, else chosen in the file dialog
        QTest::newRow("cancelled") << "cancel" << false;
        QTest::newRow("damaged") << "PDF dokument je oštećen." << false;
        QTest::newRow("dropped, empty") << "Datoteka je prazna." << true;
    }
    void refusals()
    {
        QFETCH(QString, refusal);
        QFETCH(bool, dropped);
        ScanFolder folder;
        ScopedScriptedDialogs dialogs;
        dialogs->CancelTaskAt = 0;
        const int items = fx.ItemCount();
        QString readPath;
        desk->Reader = [&](const QString &path, TIntakeControl &control) -> TIntakeDocument {
            readPath = path;
            if (refusal != QLatin1String("cancel"))
                throw KException(refusal);
            while (!control.Cancel)
                QThread::msleep(5);
            throw EIntakeCancelled();
        };
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/dopis.pdf"))});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        dialogs->FileAnswers.push_back(QStringLiteral("/tmp/dopis.pdf"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (dropped) {
            QCoreApplication::sendEvent(list->DBG->viewport(), &enter);
            QCoreApplication::sendEvent(list->DBG->viewport(), &drop);
        } else
            desk->IntakeAction->trigger();
        QTRY_COMPARE(dialogs->TaskEnds, 1);
        QCOMPARE(readPath, QStringLiteral("/tmp/dopis.pdf"));
        QCOMPARE(dialogs->Messages.size(), refusal == QLatin1String("cancel") ? 0 : 1);
        QCOMPARE(dialogs->Messages.value(0).Text, refusal == QLatin1String("cancel") ? QString() : refusal);
        QCOMPARE(dialogs->ModalCount, 0);
        QCOMPARE(fx.ItemCount(), items);
        QCOMPARE(folder.Files(), QStringList());
    }

    void stamped_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("files");
        QTest::newRow("Da") << "12/26" << int(mbYes) << 1;
        QTest::newRow("Ne") << "13/26" << int(mbNo) << 0;
    }
    void stamped()
    {
        QFETCH(QString, number);
        QFETCH(int, answer);
        QFETCH(int, files);
        ScanFolder folder;
        ScopedScriptedDialogs dialogs;
        const qint64 id = fx.AddItem({{QStringLiteral("ledgernumber"), number}});
        qrCodes = QStringList{QStringLiteral("DELOVODNIK:%1:%2:%3").arg(LedgerBookID(fx.Db.Connection())).arg(id).arg(number)};
        dialogs->MessageAnswers.push_back(answer);
        desk->Intake(QStringLiteral("/tmp/primerak.pdf"));
        QCOMPARE(dialogs->Messages.value(0).Text,
                 QStringLiteral("Dokument nosi štambilj stavke %1. Priložiti ga kao sken te stavke?").arg(number));
        QCOMPARE(folder.Files(id).size(), files);
        QCOMPARE(ItemDocumentText(fx.Db.Connection(), id), files ? text : QString());
        QCOMPARE(dialogs->ModalCount, 0); // no new item either way
    }

    // The same file again: warned, and "Ne" (the default) stores nothing.
    void duplicateRefused()
    {
        ScanFolder folder;
        ScopedScriptedDialogs dialogs;
        const qint64 first = RegisterIntakeItem(*LedgerDM, IntakeTestDocument(TIntakeKind::Pdf, text, "%PDF-1.4"),
                                                {}, {QStringLiteral("Dopis")}, folder.Path());
        const int items = fx.ItemCount();
        dialogs->MessageAnswers.push_back(mbNo);
        desk->Intake(QStringLiteral("/tmp/dopis.pdf"));
        QCOMPARE(dialogs->Messages.size(), 1);
        QVERIFY2(dialogs->Messages[0].Text.contains(fx.Cell(first, "ledgernumber")), qPrintable(dialogs->Messages[0].Text));
        QVERIFY(dialogs->Messages[0].Buttons & mbDefaultNo);
        QCOMPARE(dialogs->ModalCount, 0);
        QCOMPARE(fx.ItemCount(), items);
    }

    // Nothing matched: the partner form opens with what the document says.
    void newPartner()
    {
        ScanFolder folder;
        ScopedScriptedDialogs dialogs;
        desk->Proposer = [](const TIntakeDocument &, const QList<TIntakePartner> &, const QStringList &) {
            TIntakeProposals p;
            p.NewPartner = TNewPartnerHint{QStringLiteral("Dom zdravlja Užice"), QStringLiteral("100200309"),
                                           QStringLiteral("dz@uzice.rs"), QStringLiteral("Miloša Obrenovića 17")};
            return p;
        };
        QStringList prefilled;
        QString shown;
        dialogs->ModalHandlers.push_back([&](QDialog &dialog) {
            auto &form = static_cast<TLedgerDetailForm &>(dialog);
            dialogs->ModalHandlers.push_back([&](QDialog &partnerDialog) {
                for (const char *name : {"nameEdit", "addressEdit", "pibEdit", "emailEdit"})
                    prefilled << partnerDialog.findChild<QLineEdit *>(QLatin1String(name))->text();
                partnerDialog.accept();
                return partnerDialog.result();
            });
            form.findChild<TIntakeProposalsPanel *>()->NewPartnerButton->click();
            shown = form.DBEdit3->text();
            return int(QDialog::Rejected);
        });
        desk->Intake(QStringLiteral("/tmp/dopis.pdf"));
        QCOMPARE(prefilled, QStringList({"Dom zdravlja Užice", "Miloša Obrenovića 17", "100200309", "dz@uzice.rs"}));
        QCOMPARE(shown, QStringLiteral("Dom zdravlja Užice"));
    }

private:
    LedgerFixture fx;
    qint64 partner = 0;
    int serial = 0;
    QString text;
    QString number;
    QStringList qrCodes;
    std::unique_ptr<TLedgerViewerForm> list;
    TIntakeDesk *desk = nullptr;
};

QTEST_MAIN(TestIntakeDesk)
#include "tst_intakedesk.moc"
