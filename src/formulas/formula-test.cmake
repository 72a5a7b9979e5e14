# The Test Formula window frmTest: back-tests of formula ranges, best and worst formulas,
# test templates and reports. The launch, texts and file lines are GUI-free.
add_library(vexal_formulatestcore STATIC ${CMAKE_CURRENT_LIST_DIR}/FormulaTestCore.cpp)
target_include_directories(vexal_formulatestcore PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_formulatestcore PUBLIC vexal_season vexal_engine)

add_library(vexal_formulatest STATIC
  ${CMAKE_CURRENT_LIST_DIR}/FormulaTestWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormulaTestReports.cpp)
target_include_directories(vexal_formulatest PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_formulatest PUBLIC vexal_formulatestcore vexal_formulas vexal_engine vexal_reports
  vexal_shell vexal_ui Qt6::Widgets Qt6::PrintSupport)
