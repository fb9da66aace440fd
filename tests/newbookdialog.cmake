# The first start's dialog "Novi delovodnik", on both backends.
k_add_test(tst_newbookdialog SOURCES tst_newbookdialog.cpp LIBS kconsolecore DB)
