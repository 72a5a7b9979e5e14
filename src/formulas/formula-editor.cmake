# The formula editor window frmFormula and the formula files of the program folder.
add_library(vexal_formulas STATIC
  ${CMAKE_CURRENT_LIST_DIR}/FormulaEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormulaFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormulaWindows.cpp)
target_include_directories(vexal_formulas PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_formulas PUBLIC vexal_shell vexal_ui vexal_formulafile Qt6::Widgets)
