# The ledger module: a plug-in the console loads at run time, never links.
file(GLOB LEDGER_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/integration/*.cpp ${CMAKE_SOURCE_DIR}/integration/*.h
  ${CMAKE_SOURCE_DIR}/data/*.cpp ${CMAKE_SOURCE_DIR}/data/*.h ${CMAKE_SOURCE_DIR}/data/*.qrc
  ${CMAKE_SOURCE_DIR}/screens/*.cpp ${CMAKE_SOURCE_DIR}/screens/*.h
  ${CMAKE_SOURCE_DIR}/screens/*.ui ${CMAKE_SOURCE_DIR}/screens/*.qrc)
add_library(ledger SHARED ${LEDGER_SOURCES})
target_include_directories(ledger PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ledger PUBLIC kcommon Qt6::Widgets Qt6::Sql Qt6::PrintSupport)
set_target_properties(ledger PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${KLEDGER_MODULE_DIR}
  AUTOUIC_SEARCH_PATHS ${CMAKE_SOURCE_DIR}/screens)
target_compile_definitions(ledger PRIVATE LEDGER_BUILD)
