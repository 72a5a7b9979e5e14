# Conversions and a formula file under the C locale and under a comma-decimal locale,
# compared with the same golden files.
vexal_test(locale_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/LocaleTest.cpp LIBS vexal_formulafile vexal_runtime)
target_compile_definitions(locale_tests PRIVATE VEXAL_LOCALE_GOLDEN="${CMAKE_CURRENT_LIST_DIR}/golden")
