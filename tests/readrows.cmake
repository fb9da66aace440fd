# The reports' reads through the streaming path, on both backends.
k_add_test(tst_readrows SOURCES tst_readrows.cpp LIBS ledger DB)
