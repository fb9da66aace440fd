// The picker's rows narrowed by a typed filter: folded, in any cell, in the
// rows' own order, and mapped back to the rows given.

#include "PickerModel.h"

#include <QtTest>

class TestPickerModel : public QObject
{
    Q_OBJECT
private slots:
    void filter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("shown"); // indexes into the rows given

        QTest::newRow("nothing typed") << "" << QList<int>{0, 1, 2, 3};
        QTest::newRow("without diacritics") << "cacak" << QList<int>{0, 2};
        QTest::newRow("cyrillic capitals") << "ЧАЧАК" << QList<int>{0, 2};
        QTest::newRow("dj for đ, any cell") << "djur" << QList<int>{1, 3};
        QTest::newRow("Ђ for đ") << "Ђур" << QList<int>{1, 3};
        QTest::newRow("not across two cells") << "sinovi cacak" << QList<int>{};
        QTest::newRow("apostrophe") << "o'neil" << QList<int>{3};
    }

    void filter()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, shown);
        TPickerModel model({"Naziv", "Mesto"}, {{"JKP Vodovod Čačak", "Čačak"}, {"Đurić i sinovi", "Niš"},
                                                 {"Pekara", "Čačak"}, {"O'Neil d.o.o.", "Đurđevo"}});
        model.SetFilter(QStringLiteral("x")); // folded once, used again
        model.SetFilter(typed);
        QList<int> got;
        for (int r = 0; r < model.rowCount(); ++r)
            got << model.SourceRow(r);
        QCOMPARE(got, shown);
        for (int r = 0; r < 4; ++r)
            QCOMPARE(model.ShownRow(r), int(shown.indexOf(r)));
        QCOMPARE(model.SourceRow(model.rowCount()), -1);
    }
};

QTEST_GUILESS_MAIN(TestPickerModel)
#include "tst_pickermodel.moc"
