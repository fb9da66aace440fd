# Rows handed one by one through the streaming path, on both backends.
k_add_test(tst_readrows SOURCES tst_readrows.cpp LIBS kcommon DB)
