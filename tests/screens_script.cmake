# The ledger's list, detail form and handover record in a Cyrillic interface.
k_add_test(tst_ledgerscript SOURCES tst_ledgerscript.cpp LIBS kledgertestsupport DB)
