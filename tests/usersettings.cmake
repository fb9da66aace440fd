# Each user's own settings: the script stored per user, the settings dialog
# and the main window following it, on both backends.
k_add_test(tst_usersettings SOURCES tst_usersettings.cpp LIBS kconsolecore DB)
