# Cancelling (storno) items, bringing deleted ones back, and numbers that
# carry their date's year: over a real database, the module and the
# console's services, every dialog scripted.
k_add_test(tst_storno SOURCES tst_storno.cpp LIBS kledgertestsupport DB)
k_add_test(tst_restoreitem SOURCES tst_restoreitem.cpp LIBS kledgertestsupport DB)
k_add_test(tst_numberyear SOURCES tst_numberyear.cpp LIBS kledgertestsupport DB)
