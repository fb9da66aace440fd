# The text kept per item from its scan or e-mail, intake's duplicates, and the
# search row "Tekst" over it.
k_add_test(tst_documenttext SOURCES tst_documenttext.cpp LIBS kledgertestsupport DB)
k_add_test(tst_textsearch SOURCES tst_textsearch.cpp LIBS kledgertestsupport DB)
