# Each user's own settings: the script stored per user, the settings dialog
# and the main window following it, on both backends.
k_add_test(tst_usersettings SOURCES tst_usersettings.cpp LIBS kconsolecore DB)

# The real console in either script: --script, the user's setting, a refusal.
k_add_test(tst_console_script SOURCES tst_console_script.cpp DB)
add_dependencies(tst_console_script kconsole ledger)
target_compile_definitions(tst_console_script PRIVATE KCONSOLE_EXE="$<TARGET_FILE:kconsole>")
