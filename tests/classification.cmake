# The classification plan and the organisational units: the console's stores
# and windows, and the module's plan, completion, units' list and item rule.
k_add_test(tst_classification SOURCES tst_classification.cpp LIBS kconsolecore DB)
k_add_test(tst_classificationfield SOURCES tst_classificationfield.cpp LIBS kledgertestsupport DB)
