# Reading a document for intake: PDF, images and OCR, the stamp's QR code.
# No database: reading never touches it.
k_add_test(tst_intakereader SOURCES tst_intakereader.cpp LIBS ledger)
k_add_test(tst_intakeqr SOURCES tst_intakeqr.cpp LIBS ledger)
