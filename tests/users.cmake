# Users and roles in the console: the user store, the "Korisnici" window,
# passwords and logging out to another user, on both backends.
k_add_test(tst_console_users SOURCES tst_console_users.cpp LIBS kconsolecore DB)
