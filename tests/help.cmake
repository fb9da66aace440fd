# F1 help over the ledger's windows (a real database behind them), the help
# window, and the module's version data.
k_add_test(tst_help SOURCES tst_help.cpp LIBS kledgertestsupport DB)
# The guide in the user's script.
k_add_test(tst_helpscript SOURCES tst_helpscript.cpp LIBS ledger)
target_include_directories(tst_helpscript PRIVATE ${CMAKE_SOURCE_DIR})
