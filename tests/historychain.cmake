# The history's hash chain: intact, each kind of rewriting found, SQLite's
# refusals, the upgrade that chains an older book, two desks (nodes) at once.
k_add_test(tst_historychain SOURCES tst_historychain.cpp LIBS ledger DB CLUSTER)
# --verify-history through the real binary: its exit codes on both backends.
k_add_test(tst_console_verifyhistory SOURCES tst_console_verifyhistory.cpp DB)
add_dependencies(tst_console_verifyhistory kconsole ledger)
target_compile_definitions(tst_console_verifyhistory PRIVATE KCONSOLE_EXE="$<TARGET_FILE:kconsole>")
# "Provera integriteta…" over the sample book, with scripted dialogs.
k_add_test(tst_historycheckaction SOURCES tst_historycheckaction.cpp LIBS kledgertestsupport DB)
