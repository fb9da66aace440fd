# Intake: registering a document read at the desk, the intake window and
# its proposals beside the form, and --intake from the command line.
k_add_test(tst_intakeregistration SOURCES tst_intakeregistration.cpp LIBS kledgertestsupport DB)
set_tests_properties(tst_intakeregistration.sqlite tst_intakeregistration.mariadb PROPERTIES RESOURCE_LOCK scanneddocument_ini)
k_add_test(tst_intakedesk SOURCES tst_intakedesk.cpp LIBS kledgertestsupport DB)
set_tests_properties(tst_intakedesk.sqlite tst_intakedesk.mariadb PROPERTIES RESOURCE_LOCK scanneddocument_ini)
# --intake through the real binary, on a PDF the test draws.
k_add_test(tst_console_intake SOURCES tst_console_intake.cpp LIBS ledger DB)
add_dependencies(tst_console_intake kconsole ledger)
target_compile_definitions(tst_console_intake PRIVATE KCONSOLE_EXE="$<TARGET_FILE:kconsole>")
