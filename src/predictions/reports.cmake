# The report commands of the Predictions window: the GUI-free report pages
# (vexal_predictreports) and the passes that run the consensus set through the window's engine.
add_library(vexal_predictreports STATIC ${CMAKE_CURRENT_LIST_DIR}/ConsensusReports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RangeReports.cpp)
target_include_directories(vexal_predictreports PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_predictreports PUBLIC vexal_htmlreport vexal_season vexal_runtime)
set_target_properties(vexal_predictreports PROPERTIES AUTOMOC OFF)

target_sources(vexal_predictions PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ConsensusReportsView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RangeReportsView.cpp ${CMAKE_CURRENT_LIST_DIR}/ReportPrintouts.cpp)
# The views read the formula editor through its typed accessors.
target_link_libraries(vexal_predictions PUBLIC vexal_formulas)
