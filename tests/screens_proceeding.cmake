# The handover record dialog and the printed record, over a real database;
# the record's text is read back with pdftotext.
k_add_test(tst_proceeding SOURCES tst_proceeding.cpp LIBS kledgertestsupport DB)
