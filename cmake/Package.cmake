# The Debian package: the console, the framework's libraries and the module
# under /usr/lib/delovodnik (the module in modules/ beside the console, as in
# the build tree), /usr/bin/delovodnik a link to the console, a menu entry
# and its icon. scripts/package.sh builds it.
set(DELOVODNIK_LIBDIR lib/delovodnik)

# Installed, each finds its neighbours by its own place, not the build tree.
set(kcommon_parts core text db dataset widgets report forms)
foreach(part ${kcommon_parts})
  set_target_properties(kcommon_${part} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS kcommon_${part} LIBRARY DESTINATION ${DELOVODNIK_LIBDIR})
endforeach()
set_target_properties(kconsole PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS kconsole RUNTIME DESTINATION ${DELOVODNIK_LIBDIR})
set_target_properties(ledger PROPERTIES INSTALL_RPATH "$ORIGIN/..")
install(TARGETS ledger LIBRARY DESTINATION ${DELOVODNIK_LIBDIR}/modules)

# A link, not a copy: the console looks for its module and ini beside its
# real file, which /proc/self/exe gives past the link.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
file(CREATE_LINK ../lib/delovodnik/kconsole ${CMAKE_BINARY_DIR}/package/delovodnik SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package/delovodnik DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/package/delovodnik.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/screens/icons/ledger.png
        DESTINATION share/icons/hicolor/16x16/apps RENAME delovodnik.png)
# For the administrator of a shared MariaDB book (README).
install(FILES ${CMAKE_SOURCE_DIR}/scripts/desk-account.sql DESTINATION share/delovodnik)

# cpack only packs what is built; scripts/package.sh builds first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME delovodnik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kolibar <podrska@kolibar.rs>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Delovodnik - delovodni protokol")
set(CPACK_PACKAGE_DESCRIPTION "Zavođenje predmeta i dopisa, predaja, istorija i delovodna knjiga; SQLite ili MariaDB.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_FILE_NAME ${CPACK_PACKAGE_NAME}_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
# Named by hand, as Debian 12 calls them: the Qt parts the program links (PDF
# for the scan page), libqrencode for the stamp, Tesseract with its Serbian
# (both scripts) and English data, ZBar and Qt's TIFF reader for intake, the
# SQL drivers it loads by name, and the MariaDB and SQLite client libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6pdf6 (>= 6.4), libqt6pdfwidgets6 (>= 6.4), libqt6sql6-sqlite (>= 6.4), libqt6sql6-mysql (>= 6.4), libmariadb3, libsqlite3-0, libqrencode4, libtesseract5, tesseract-ocr-srp, tesseract-ocr-srp-latn, tesseract-ocr-eng, libzbar0, qt6-image-formats-plugins, libssl3, libc6, libstdc++6")
include(CPack)
