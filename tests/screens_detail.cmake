# The ledger item's detail form and the item picker, over a real database with
# the console's own services logged in.
k_add_test(tst_ledgerdetail SOURCES tst_ledgerdetail.cpp LIBS kledgertestsupport DB)
k_add_test(tst_getledger SOURCES tst_getledger.cpp LIBS kledgertestsupport DB)
k_add_test(tst_ledgeritemcopies SOURCES tst_ledgeritemcopies.cpp LIBS kledgertestsupport DB CLUSTER)
k_add_test(tst_scanneddocument SOURCES tst_scanneddocument.cpp LIBS kledgertestsupport DB)
# Both runs keep the folder's name in the ini beside the one executable.
set_tests_properties(tst_scanneddocument.sqlite tst_scanneddocument.mariadb PROPERTIES RESOURCE_LOCK scanneddocument_ini)
k_add_test(tst_custodytimeline SOURCES tst_custodytimeline.cpp LIBS kledgertestsupport DB)
# The scan page, "Zameni…" and the receipt stamp; they share that ini too.
k_add_test(tst_scanpage SOURCES tst_scanpage.cpp LIBS kledgertestsupport DB CLUSTER)
k_add_test(tst_stamp SOURCES tst_stamp.cpp LIBS kledgertestsupport DB)
set_tests_properties(tst_scanpage.sqlite tst_scanpage.mariadb tst_scanpage.galera tst_stamp.sqlite tst_stamp.mariadb
                     PROPERTIES RESOURCE_LOCK scanneddocument_ini)
