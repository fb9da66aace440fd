# The ledger module: a plug-in the console loads at run time, never links.
file(GLOB LEDGER_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/integration/*.cpp ${CMAKE_SOURCE_DIR}/integration/*.h
  ${CMAKE_SOURCE_DIR}/data/*.cpp ${CMAKE_SOURCE_DIR}/data/*.h ${CMAKE_SOURCE_DIR}/data/*.qrc
  ${CMAKE_SOURCE_DIR}/screens/*.cpp ${CMAKE_SOURCE_DIR}/screens/*.h
  ${CMAKE_SOURCE_DIR}/screens/*.ui ${CMAKE_SOURCE_DIR}/screens/*.qrc)
# Qt PDF shows an item's scan; libqrencode draws the QR code of its stamp.
find_package(Qt6 6.4 REQUIRED COMPONENTS Pdf PdfWidgets)
find_package(PkgConfig REQUIRED)
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
# Intake reads pages without a text layer with Tesseract and finds a stamp's
# QR code on a scan with ZBar.
# gomp: Tesseract's OpenMP is held to the reading thread (IntakeOcr.cpp).
pkg_check_modules(TESSERACT REQUIRED IMPORTED_TARGET tesseract lept)
pkg_check_modules(ZBAR REQUIRED IMPORTED_TARGET zbar)
# GMime reads the e-mails brought to intake.
pkg_check_modules(GMIME REQUIRED IMPORTED_TARGET gmime-3.0)
add_library(ledger SHARED ${LEDGER_SOURCES})
target_include_directories(ledger PUBLIC ${CMAKE_SOURCE_DIR})
# The host's parts it uses: forms for its screens, report for its printouts,
# text for the Serbian folding of partner names and completions (the rest
# come with them: widgets, dataset, db, core).
# khistorychain: the history's hash chain, shared with the schema's upgrade.
target_link_libraries(ledger PUBLIC kcommon_forms kcommon_report kcommon_text khistorychain Qt6::Widgets Qt6::Sql
  Qt6::PrintSupport Qt6::Pdf Qt6::PdfWidgets PkgConfig::QRENCODE PkgConfig::TESSERACT gomp PkgConfig::ZBAR)
target_link_libraries(ledger PRIVATE PkgConfig::GMIME)
set_target_properties(ledger PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${KLEDGER_MODULE_DIR}
  # libledger.so stays the name the console loads; it links to the versioned file.
  VERSION 1.1.1.12 SOVERSION 1
  AUTOUIC_SEARCH_PATHS ${CMAKE_SOURCE_DIR}/screens)
target_compile_definitions(ledger PRIVATE LEDGER_BUILD)

# What the module tells about itself: exported as ModuleVersionInfo for the
# console's "O programu", and the file version as the library's own.
set(LEDGER_DESCRIPTION "Kolibar Ledger Module")
set(LEDGER_FILE_VERSION 1.1.1.12)
set(LEDGER_PRODUCT_VERSION 1.0)
target_compile_definitions(ledger PRIVATE
  LEDGER_DESCRIPTION="${LEDGER_DESCRIPTION}"
  LEDGER_FILE_VERSION="${LEDGER_FILE_VERSION}"
  LEDGER_PRODUCT_VERSION="${LEDGER_PRODUCT_VERSION}")
