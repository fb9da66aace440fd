# The console's windows and messages in Cyrillic, on both backends.
k_add_test(tst_cyrillicconsole SOURCES tst_cyrillicconsole.cpp LIBS kconsolecore DB)
