# Dataset layer: SQL texts, the connection, quoting, and live queries on both backends.
k_add_test(tst_sqltext SOURCES tst_sqltext.cpp)
k_add_test(tst_zconnection SOURCES tst_zconnection.cpp DB)
k_add_test(tst_quoting SOURCES tst_quoting.cpp DB)
k_add_test(tst_dataset SOURCES tst_dataset.cpp DB)
k_add_test(tst_dataset_writes SOURCES tst_dataset_writes.cpp DB)
k_add_test(tst_dataset_types SOURCES tst_dataset_types.cpp DB)
k_add_test(tst_longload SOURCES tst_longload.cpp DB)
# Stops, restarts and freezes the private server: runs with nothing else.
k_add_test(tst_connectionfaults SOURCES tst_connectionfaults.cpp DB)
set_tests_properties(tst_connectionfaults.mariadb PROPERTIES RUN_SERIAL TRUE)
set_property(TEST tst_connectionfaults.mariadb APPEND PROPERTY ENVIRONMENT "KLEDGER_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
# The Serbian order, in memory and in the searches of both backends.
k_add_test(tst_serbiancollation SOURCES tst_serbiancollation.cpp)
k_add_test(tst_serbianfold SOURCES tst_serbianfold.cpp)
k_add_test(tst_serbiandisplayorder SOURCES tst_serbiandisplayorder.cpp)
# The row store's values at the edges of each kind, and its sort order.
k_add_test(tst_rowstore SOURCES tst_rowstore.cpp)
k_add_test(tst_rowpipe SOURCES tst_rowpipe.cpp)
