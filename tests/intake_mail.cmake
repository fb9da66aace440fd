# Intake of e-mails and what intake proposes from a document's text: no database.
k_add_test(tst_intakemail SOURCES tst_intakemail.cpp LIBS ledger)
k_add_test(tst_intakeproposals SOURCES tst_intakeproposals.cpp LIBS ledger)
