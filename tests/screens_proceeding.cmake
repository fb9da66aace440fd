# The handover record dialog and the printed record, over a real database;
# the record's text is read back with pdftotext.
k_add_test(tst_proceeding SOURCES tst_proceeding.cpp LIBS kledgertestsupport DB)
# Accepting into kept handover records: rows changed by another desk, record
# numbers from two desks (also on two cluster nodes at once), and the chain head.
k_add_test(tst_handover SOURCES tst_handover.cpp LIBS kledgertestsupport DB CLUSTER)
