# The item's subject: its words, the word table kept in step, the search.
k_add_test(tst_subjectsearch SOURCES tst_subjectsearch.cpp LIBS ledger DB)
# The same on the detail form and in the search frame, over the sample book.
k_add_test(tst_subjectform SOURCES tst_subjectform.cpp LIBS kledgertestsupport DB)
