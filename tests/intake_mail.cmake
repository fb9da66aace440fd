# Intake of e-mails and what intake proposes from a document's text: no database.
k_add_test(tst_intakemail SOURCES tst_intakemail.cpp LIBS ledger)
