# The Test Formula window: its GUI-free launch, texts and file lines, and the window itself
# driven headless over generated seasons.
vexal_test(formula_test_core_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormulaTestCoreTest.cpp
  LIBS vexal_formulatestcore)
vexal_test(formula_test_window_tests QT SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormulaTestWindowTest.cpp
  LIBS vexal_formulatest vexal_samplegen)
