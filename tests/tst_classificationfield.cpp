// The plan and the units as the ledger module reads them, over the sample
// book: retention texts, finding a mark by its beginning or by words of its
// name, the completion on a line of its own, the units' list on a combo of
// its own, the item's rule and the filed sample items.

#include "DBControls.h"
#include "KException.h"
#include "LedgerFixture.h"
#include "MemDataSet.h"
#include "data/ClassificationPlan.h"
#include "data/OrgUnitList.h"
#include "screens/ClassificationField.h"
#include "screens/OrgUnitField.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QtTest>

class TestClassificationField : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_TESTDB(fx.Db);
        fx.Start(QStringLiteral("ana"));
        fx.Insert(QStringLiteral("classification"), {{"mark", "9"}, {"name", "Stari poslovi"}, {"active", "n"}});
        fx.Insert(QStringLiteral("orgunit"), {{"name", "Stara služba"}, {"active", "n"}});
        m_plan.Load(fx.Db.Connection());
    }
    void cleanupTestCase() { fx.Stop(); }

    void retentionText_data()
    {
        QTest::addColumn<int>("years"); // 0: trajno
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1 << "1 godina";
        QTest::newRow("2") << 2 << "2 godine";
        QTest::newRow("4") << 4 << "4 godine";
        QTest::newRow("5") << 5 << "5 godina";
        QTest::newRow("11") << 11 << "11 godina";
        QTest::newRow("12") << 12 << "12 godina";
        QTest::newRow("14") << 14 << "14 godina";
        QTest::newRow("21") << 21 << "21 godina";
        QTest::newRow("22") << 22 << "22 godine";
        QTest::newRow("100") << 100 << "100 godina";
        QTest::newRow("trajno") << 0 << "trajno";
    }

    void retentionText()
    {
        QFETCH(int, years);
        QFETCH(QString, text);
        QCOMPARE(RetentionText(years ? std::optional<int>(years) : std::nullopt), text);
    }

    void matches_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("marks");
        QTest::newRow("group") << "0" << "0|01|011|012|02|021|022|03|031|032";
        QTest::newRow("subgroup") << "01" << "01|011|012";
        QTest::newRow("name's beginning") << "kadr" << "02";
        QTest::newRow("without diacritics") << "zalbe" << "032";
        QTest::newRow("Cyrillic") << "СЕДНИЦЕ" << "012";
        QTest::newRow("a word anywhere") << "poslovi" << "0|02|03|4";
        QTest::newRow("mark and word") << "4 fakt" << "41";
        QTest::newRow("two words") << "opsti upr" << "0";
        QTest::newRow("inside a word") << "rovski" << "";
        QTest::newRow("inactive") << "stari" << "";
        QTest::newRow("blank") << "  " << "";
    }

    void matches()
    {
        QFETCH(QString, typed);
        QFETCH(QString, marks);
        QStringList found;
        for (const TClassificationMark &m : m_plan.Matches(typed))
            found << m.Mark;
        QCOMPARE(found.join(u'|'), marks);
    }

    // On a line and a field of their own: the list under the line, and the
    // chosen mark in both.
    void completion()
    {
        MemDataSet data;
        TField &field = data.AddField(QStringLiteral("classification"), TFieldType::String, 30);
        data.Rows.push_back({QString()});
        data.Open();
        QLineEdit edit;
        edit.show();
        auto *completion = new TClassificationField(&edit, &field, m_plan);
        edit.setFocus();
        QTest::keyClicks(&edit, QStringLiteral("sed"));
        QCOMPARE(completion->Offered(), QStringList{"012 – Sednice, sastanci i zapisnici (10 godina)"});
        QTRY_VERIFY(completion->Popup()->isVisible());
        QTest::keyClick(completion->Popup(), Qt::Key_Down);
        QTest::keyClick(completion->Popup(), Qt::Key_Return);
        QCOMPARE(edit.text(), QStringLiteral("012"));
        QCOMPARE(field.AsString(), QStringLiteral("012"));
        QCOMPARE(data.State(), TDataSetState::Edit);

        QTest::keyClicks(&edit, QStringLiteral("xyz"));
        QVERIFY(completion->Offered().isEmpty());
        QVERIFY(!completion->Popup()->isVisible());
    }

    void orgUnitChoices_data()
    {
        QTest::addColumn<QString>("itemUnit");
        QTest::addColumn<QString>("choices");
        QTest::newRow("none") << "" << "|Finansijska služba|Pisarnica|Pravna služba";
        QTest::newRow("active") << "Pisarnica" << "|Finansijska služba|Pisarnica|Pravna služba";
        QTest::newRow("no longer active") << "Stara služba" << "|Finansijska služba|Pisarnica|Pravna služba|Stara služba";
    }

    void orgUnitChoices()
    {
        QFETCH(QString, itemUnit);
        QFETCH(QString, choices);
        MemDataSet data;
        data.AddField(QStringLiteral("orgunit"), TFieldType::String, 100);
        data.Rows.push_back({itemUnit.isEmpty() ? QVariant() : QVariant(itemUnit)});
        data.Open();
        TDataSource source;
        source.SetDataSet(&data);
        TDBComboBox combo;
        combo.SetDataSource(&source);
        combo.SetDataField(QStringLiteral("orgunit"));
        AttachOrgUnitField(&combo, &data.FieldByName(QStringLiteral("orgunit")), fx.Db.Connection());
        QCOMPARE(combo.Items().join(u'|'), choices);
        QCOMPARE(combo.currentText(), itemUnit);
    }

    void itemRule_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("message"); // empty: stored
        QTest::newRow("a mark of the plan") << "" << "011" << "";
        QTest::newRow("none") << "011" << "" << "";
        QTest::newRow("not in the plan") << "" << "099"
                                         << "Polje \"Klasifikaciona oznaka\": oznaka „099“ ne postoji u klasifikacionom planu.";
        QTest::newRow("inactive") << "" << "9"
                                  << "Polje \"Klasifikaciona oznaka\": oznaka „9“ više nije aktivna u klasifikacionom planu.";
        QTest::newRow("inactive, kept") << "9" << "9" << "";
    }

    void itemRule()
    {
        QFETCH(QString, stored);
        QFETCH(QString, mark);
        QFETCH(QString, message);
        const qint64 id = fx.AddItem({{"classification", stored.isEmpty() ? QVariant() : QVariant(stored)}});
        auto items = LedgerFixture::OpenItem(id);
        items->LedgerItemZQ->Edit();
        items->LedgerItemZQclassification->SetAsString(mark);
        items->LedgerItemZQsubject->SetAsString(QStringLiteral("Izmena"));
        QString refusal;
        try {
            items->LedgerItemZQ->Post();
        } catch (const KException &e) {
            refusal = e.message();
            items->LedgerItemZQ->Cancel();
        }
        QCOMPARE(refusal, message);
        QCOMPARE(fx.Cell(id, QStringLiteral("classification")), message.isEmpty() ? mark : stored);
    }

    void sampleItemsAreFiled()
    {
        QCOMPARE(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE itemtype = 'Faktura' AND "
                                          "(COALESCE(classification, '') <> '41' OR COALESCE(orgunit, '') <> 'Finansijska služba')")).toInt(), 0);
        QVERIFY(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM ledgeritem WHERE classification = '01'")).toInt() > 0);
    }

private:
    LedgerFixture fx;
    TClassificationPlan m_plan;
};

QTEST_MAIN(TestClassificationField)
#include "tst_classificationfield.moc"
