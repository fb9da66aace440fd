# The printed register book and the numbering check: the book's order read
# back from its PDF with pdftotext, on both backends; the check over tables.
k_add_test(tst_registerbook SOURCES tst_registerbook.cpp LIBS kledgertestsupport DB)
k_add_test(tst_continuity SOURCES tst_continuity.cpp LIBS ledger)
# The paged table under them, its page breaks read back from the PDF.
k_add_test(tst_pagedreport SOURCES tst_pagedreport.cpp)
