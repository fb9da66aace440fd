# The backends' dialects on their own: LIKE, prefixes, binding, locks.
k_add_test(tst_sqldialect SOURCES tst_sqldialect.cpp)
