# The detail form's Partner field: the partners it offers, and typing in the form.
k_add_test(tst_partnerlookup SOURCES tst_partnerlookup.cpp LIBS ledger DB)
k_add_test(tst_partnercompletion SOURCES tst_partnercompletion.cpp LIBS kledgertestsupport DB)
