k_add_test(tst_ledgerdm SOURCES tst_ledgerdm.cpp LIBS ledger DB)
