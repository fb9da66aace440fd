k_add_test(tst_ledgerdm SOURCES tst_ledgerdm.cpp LIBS ledger DB)
# Both runs write the scanned-documents folder into the ini beside the one executable.
set_tests_properties(tst_ledgerdm.sqlite tst_ledgerdm.mariadb PROPERTIES RESOURCE_LOCK ledgerdm_ini)
k_add_test(tst_ledgerhistory SOURCES tst_ledgerhistory.cpp LIBS kledgertestsupport DB)
