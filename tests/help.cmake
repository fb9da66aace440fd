# F1 help over the ledger's windows (a real database behind them), the help
# window, and the module's version data.
k_add_test(tst_help SOURCES tst_help.cpp LIBS kledgertestsupport DB)
