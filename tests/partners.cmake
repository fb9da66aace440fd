# The partners' register: its numbers, its store, its window and picker.
k_add_test(tst_partners SOURCES tst_partners.cpp LIBS kconsolecore DB)
