# The documents' register and the document types' list: the console's stores,
# windows and services, and the detail form's "Vrsta dokumenta".
k_add_test(tst_registers_documents SOURCES tst_registers_documents.cpp LIBS kconsolecore DB)
k_add_test(tst_ledgeritemtype SOURCES tst_ledgeritemtype.cpp LIBS kledgertestsupport DB)
