# Closing the year: the figures, the database's refusals, two desks at once,
# reopening; every write path of the module after a closing; the command line.
k_add_test(tst_yearclosing SOURCES tst_yearclosing.cpp LIBS kledgertestsupport DB)
k_add_test(tst_closedyearwrites SOURCES tst_closedyearwrites.cpp LIBS kledgertestsupport DB)
k_add_test(tst_console_closeyear SOURCES tst_console_closeyear.cpp DB)
add_dependencies(tst_console_closeyear kconsole ledger)
target_compile_definitions(tst_console_closeyear PRIVATE KCONSOLE_EXE="$<TARGET_FILE:kconsole>")
