# The current formula's rules, and the formula editor driven through its controls.
vexal_test(current_formula_test SOURCES CurrentFormulaTest.cpp LIBS vexal_season)
vexal_test(formula_editor_test QT
  SOURCES FormulaEditorTest.cpp FormulaFilesTest.cpp FormulaEditorTestSupport.h
  LIBS vexal_formulas)
