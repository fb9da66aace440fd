# Includes go down the layers only: the host and the console know no module,
# the module's data no screens and no integration. Reads the sources; no build.
add_test(NAME include_layering COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-includes-module.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(include_layering PROPERTIES TIMEOUT 60)
