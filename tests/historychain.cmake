# The history's hash chain: intact, each kind of rewriting found, SQLite's
# refusals, the upgrade that chains an older book, two desks (nodes) at once.
k_add_test(tst_historychain SOURCES tst_historychain.cpp LIBS ledger DB CLUSTER)
