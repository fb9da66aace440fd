# The ledger's list and search frames, and the snap-in that puts them into the
# console. They link the module itself and the console's real services.
k_add_test(tst_ledgersnapin SOURCES tst_ledgersnapin.cpp LIBS ledger kconsolecore)
k_add_test(tst_ledgerviewer SOURCES tst_ledgerviewer.cpp LIBS kledgertestsupport DB)
k_add_test(tst_ledgernavigator SOURCES tst_ledgernavigator.cpp LIBS kledgertestsupport DB)
k_add_test(tst_serbiansearch SOURCES tst_serbiansearch.cpp LIBS kledgertestsupport DB)
k_add_test(tst_listexport SOURCES tst_listexport.cpp LIBS kledgertestsupport DB)
k_add_test(tst_listkeepsrows SOURCES tst_listkeepsrows.cpp LIBS kledgertestsupport DB)
