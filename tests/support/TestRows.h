#pragma once
// Data tables of a single flag, the commonest kind in these tests.

#include <QtTest>
#include <initializer_list>
#include <utility>

// One bool column with a row per (name, value), in the order given.
inline void flagRows(const char *column, std::initializer_list<std::pair<const char *, bool>> rows)
{
    QTest::addColumn<bool>(column);
    for (const auto &[name, value] : rows)
        QTest::newRow(name) << value;
}
