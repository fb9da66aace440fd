# The desks' MariaDB account: the history only grows, the tables are the
# administrator's; on the cluster, on two nodes.
k_add_test(tst_deskaccount SOURCES tst_deskaccount.cpp LIBS kledgertestsupport DB CLUSTER)
