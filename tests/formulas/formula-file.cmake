# The formula file (.fla) codec.
vexal_test(formula_file_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormulaFileTest.cpp LIBS vexal_formulafile)
