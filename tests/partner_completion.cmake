# Finding a partner: the partners the detail form's Partner field offers,
# typing in the form, and the pickers' folded filter.
k_add_test(tst_partnerlookup SOURCES tst_partnerlookup.cpp LIBS ledger DB)
k_add_test(tst_partnercompletion SOURCES tst_partnercompletion.cpp LIBS kledgertestsupport DB)
k_add_test(tst_pickermodel SOURCES tst_pickermodel.cpp LIBS kconsolecore)
