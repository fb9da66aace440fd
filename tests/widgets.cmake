# Data-aware widgets and the base screens the module's screens derive from.
k_add_test(tst_dbwidgets SOURCES tst_dbwidgets.cpp LIBS kcommon DB)
k_add_test(tst_baseforms SOURCES tst_baseforms.cpp LIBS kcommon DB)
# Qt's own texts and calendars in Serbian Latin.
k_add_test(tst_serbiantexts SOURCES tst_serbiantexts.cpp LIBS kcommon)
k_add_test(tst_interfacescript SOURCES tst_interfacescript.cpp LIBS kcommon)
