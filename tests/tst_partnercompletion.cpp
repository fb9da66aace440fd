// Typing in the detail form's Partner field: the list of matches, choosing
// from it, text that names no partner, Esc, and "Novi partner…" through a
// stand-in partner service.

#include "DBControls.h"
#include "LedgerFixture.h"
#include "integration/GlobalConsole.h"
#include "screens/PartnerCompletion.h"

#include <QAction>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

namespace {

// The console's partner form: stores the typed name, or is cancelled.
struct FakePartners : TestService<IPartner>
{
    LedgerFixture *Fx = nullptr;
    bool Store = true;
    QStringList Asked;
    bool SelectPartner(TPartnerDesc &) override { return false; }
    bool NewPartner(TPartnerDesc &desc, const QString &name) override
    {
        Asked << name;
        if (Store)
            desc = {name, {}, qint32(Fx->Insert(QStringLiteral("partner"), {{"name", name}}))};
        return Store;
    }
};

struct RecordingStatus : TestService<IStatusBar>
{
    QStringList Shown;
    void ShowStatusMessage(const QString &text, int) override { Shown << text; }
};

QString popupRows(const TLedgerDetailForm &form)
{
    QStringList rows;
    const QAbstractItemModel *model = form.PartnerCompletion->Popup()->model();
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->index(r, 0).data().toString();
    return rows.join(u'|');
}

// Replaces the field's text key by key, as the clerk types.
void type(TDBEdit *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

class TestPartnerCompletion : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        m_previous = fx.Insert("partner", {{"name", "Prethodni partner"}});
        for (const char *name : {"Zlatiborka d.o.o.", "Mlekara Zlatiborka", "Zvezda promet", "ZVEZDA PROMET"})
            fx.Insert("partner", {{"name", QString::fromUtf8(name)}});
        fx.Insert("partner", {{"name", "Stara Zlatiborka"}, {"active", "n"}});
        m_partners->Fx = &fx;
        for (const IRef<IInterface> &service : {IRef<IInterface>(fx.Security), IRef<IInterface>(m_partners),
                                                IRef<IInterface>(m_status)})
            m_console->AddService(service);
        GlobalConsole = m_console;
    }

    void cleanupTestCase() { fx.Stop(); }

    // What the list offers, and the item's partner after a key on it, leaving the field or Apply.
    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("offered"); // the list's rows; empty: not shown
        QTest::addColumn<QString>("then");    // keys on the list, "leave" (Tab) or "apply"
        QTest::addColumn<bool>("newStored");  // the stand-in stores a new partner
        QTest::addColumn<QString>("stored");  // the item's partner's name; empty: none
        QTest::addColumn<QString>("status");  // start of the status line; empty: none

        const QString kept = QStringLiteral("Prethodni partner");
        const QString zlatib = QStringLiteral("Zlatiborka d.o.o.|Mlekara Zlatiborka|Novi partner…");
        QTest::newRow("Enter takes the best") << "zlatib" << zlatib << "enter" << true << "Zlatiborka d.o.o." << "";
        QTest::newRow("cyrillic, Down, Enter") << "ЗЛАТИБ" << zlatib << "down enter" << true << "Mlekara Zlatiborka" << "";
        QTest::newRow("whole name, leaving") << "mlekara zlatiborka" << "Mlekara Zlatiborka|Novi partner…" << "leave"
                                             << true << "Mlekara Zlatiborka" << "";
        QTest::newRow("near a name, Apply") << "zlatiborka doo" << "Novi partner…" << "apply" << true << kept
                                            << "Nijedan partner se ne zove „zlatiborka doo“";
        QTest::newRow("two of that name") << "zvezda promet" << "Zvezda promet|ZVEZDA PROMET|Novi partner…" << "leave"
                                          << true << kept << "Više partnera se zove „zvezda promet“";
        QTest::newRow("inactive") << "stara zlatiborka" << "Novi partner…" << "leave" << true << kept << "Nijedan partner";
        QTest::newRow("Esc") << "zlatib" << zlatib << "esc" << true << kept << "";
        QTest::newRow("emptied") << "" << "" << "leave" << true << "" << "";
        QTest::newRow("Novi partner…") << "Zlatni klas" << "Novi partner…" << "end enter" << true << "Zlatni klas" << "";
        QTest::newRow("Novi partner… not stored") << "Zlatni klas 2" << "Novi partner…" << "end enter"
                                                   << false << kept << "Novi partner „Zlatni klas 2“ nije dodat";
    }

    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, offered);
        QFETCH(QString, then);
        QFETCH(bool, newStored);
        QFETCH(QString, stored);
        QFETCH(QString, status);
        m_partners->Store = newStored;
        m_partners->Asked.clear();
        m_status->Shown.clear();
        const qint64 id = fx.AddItem({{"partnerid", m_previous}});
        DetailFormOn on(id);
        on.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&on.form));
        TDBEdit *edit = on.form.DBEdit3;
        type(edit, typed);
        QTreeView *popup = on.form.PartnerCompletion->Popup();
        QCOMPARE(popup->isVisible() ? popupRows(on.form) : QString(), offered);
        if (then == QLatin1String("leave")) {
            QTest::keyClick(popup->isVisible() ? static_cast<QWidget *>(popup) : edit, Qt::Key_Tab);
            QVERIFY(!edit->hasFocus());
        } else if (then == QLatin1String("apply")) {
            on.form.CustomApply->trigger();
        } else {
            const QMap<QString, Qt::Key> keys{{"enter", Qt::Key_Return}, {"down", Qt::Key_Down},
                                              {"end", Qt::Key_End},     {"esc", Qt::Key_Escape}};
            for (const QString &key : then.split(u' '))
                QTest::keyClick(popup, keys.value(key));
        }
        if (newStored && then == QLatin1String("end enter")) { // offered at once
            type(edit, typed);
            QCOMPARE(popupRows(on.form), typed + QStringLiteral("|Novi partner…"));
            QTest::keyClick(popup, Qt::Key_Return);
        }
        QVERIFY(!popup->isVisible());
        QCOMPARE(edit->text(), stored);
        // Apply adds the post's own line.
        const QStringList notices = m_status->Shown.filter(QStringLiteral("ostao nepromenjen"));
        QCOMPARE(notices.value(0).left(status.size()), status);
        QCOMPARE(notices.size(), status.isEmpty() ? 0 : 1);
        QCOMPARE(m_partners->Asked, then == QLatin1String("end enter") ? QStringList{typed} : QStringList{});

        on.form.OKButton->click();
        QVERIFY(on.dialogs->Messages.isEmpty());
        const QString partner = fx.Cell(id, QStringLiteral("partnerid"));
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT name FROM partner WHERE partnerid = ?"), {partner}).toString(), stored);
    }

private:
    LedgerFixture fx;
    qint64 m_previous = 0;
    IRef<TConsole> m_console{new TConsole};
    IRef<FakePartners> m_partners{new FakePartners};
    IRef<RecordingStatus> m_status{new RecordingStatus};
};

QTEST_MAIN(TestPartnerCompletion)
#include "tst_partnercompletion.moc"
