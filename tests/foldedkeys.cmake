# The folded keys behind the searches that ignore script, case and
# diacritics: kept on every write and made for an older book.
k_add_test(tst_foldedkeys SOURCES tst_foldedkeys.cpp LIBS kledgertestsupport DB)
