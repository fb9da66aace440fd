k_add_test(tst_ledgerdm SOURCES tst_ledgerdm.cpp LIBS ledger DB CLUSTER)
# Both runs write the scanned-documents folder into the ini beside the one executable.
set_tests_properties(tst_ledgerdm.sqlite tst_ledgerdm.mariadb PROPERTIES RESOURCE_LOCK ledgerdm_ini)
set_property(TEST tst_ledgerdm.galera APPEND PROPERTY RESOURCE_LOCK ledgerdm_ini)
k_add_test(tst_ledgerhistory SOURCES tst_ledgerhistory.cpp LIBS kledgertestsupport DB)
# Two nodes numbering at once, a node killed during a post and rejoining:
# runs on the cluster only.
k_add_test(tst_cluster SOURCES tst_cluster.cpp LIBS ledger DB CLUSTER)
set_property(TEST tst_cluster.galera APPEND PROPERTY RESOURCE_LOCK ledgerdm_ini)
