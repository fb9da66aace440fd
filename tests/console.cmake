# The console: password hashing, its services over a real database, the
# console object, the module loader and the main window.
k_add_test(tst_console_password SOURCES tst_console_password.cpp LIBS kconsolecore)
k_add_test(tst_console_commands SOURCES tst_console_commands.cpp LIBS kconsolecore)
k_add_test(tst_console_services SOURCES tst_console_services.cpp LIBS kconsolecore ledger DB)

# A stand-in module that records what the loader does to it, so the start-up
# and shutdown order can be checked without the real ledger module.
add_library(tst_console_fakemodule MODULE tst_console_fakemodule.cpp)
target_link_libraries(tst_console_fakemodule PRIVATE kcommon)
set_target_properties(tst_console_fakemodule PROPERTIES
  PREFIX "lib" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/console_fakemodule)

# The same without version data, in a folder of its own.
add_library(tst_console_plainmodule MODULE tst_console_fakemodule.cpp)
target_link_libraries(tst_console_plainmodule PRIVATE kcommon)
target_compile_definitions(tst_console_plainmodule PRIVATE FAKE_MODULE_WITHOUT_VERSION)
set_target_properties(tst_console_plainmodule PROPERTIES
  PREFIX "lib" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/console_plainmodule)

k_add_test(tst_console_host SOURCES tst_console_host.cpp LIBS kconsolecore)
add_dependencies(tst_console_host tst_console_fakemodule tst_console_plainmodule)
# The module's ILedger stands for any interface a snap-in offers.
target_include_directories(tst_console_host PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(tst_console_host PRIVATE
  FAKE_MODULE_DIR="${CMAKE_BINARY_DIR}/tests/console_fakemodule"
  PLAIN_MODULE_DIR="${CMAKE_BINARY_DIR}/tests/console_plainmodule")

add_test(NAME kconsole_smoke COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/console_smoke.sh $<TARGET_FILE:kconsole>)
set_tests_properties(kconsole_smoke PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KLEDGER_MODULE_DIR=${KLEDGER_MODULE_DIR}" TIMEOUT 120)

# The command-line export through the real binary, on both backends.
k_add_test(tst_console_export SOURCES tst_console_export.cpp DB)
add_dependencies(tst_console_export kconsole ledger)
target_compile_definitions(tst_console_export PRIVATE KCONSOLE_EXE="$<TARGET_FILE:kconsole>")

# Where the ini file and a new SQLite book go: beside the executable or in
# the user's XDG folders.
k_add_test(tst_console_paths SOURCES tst_console_paths.cpp LIBS kconsolecore)

# The Debian package; as root it is installed and removed again, so nothing
# else runs beside it.
add_test(NAME package_deb COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package_deb.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(package_deb PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)

# An office's own empty book from the command line (--new-book).
add_test(NAME kconsole_newbook COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/console_newbook.sh $<TARGET_FILE:kconsole>)
set_tests_properties(kconsole_newbook PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KLEDGER_MODULE_DIR=${KLEDGER_MODULE_DIR}" TIMEOUT 120)

# A partner list saved from a spreadsheet: encodings, separators, quotes.
k_add_test(tst_partnercsv SOURCES tst_partnercsv.cpp LIBS kconsolecore)
# Importing partners, by the dialog and the command line, on both backends.
k_add_test(tst_partnerimport SOURCES tst_partnerimport.cpp LIBS kconsolecore DB)
