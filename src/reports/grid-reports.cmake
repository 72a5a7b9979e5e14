# Grid output: printing a grid as a ruled table, its HTML page, and printing that page.
# GridPage is GUI-free; the rest draws on the current printer.
add_library(vexal_gridpage STATIC ${CMAKE_CURRENT_LIST_DIR}/GridPage.cpp)
target_include_directories(vexal_gridpage PUBLIC ${CMAKE_CURRENT_LIST_DIR})
set_target_properties(vexal_gridpage PROPERTIES AUTOMOC OFF)

add_library(vexal_reports STATIC
  ${CMAKE_CURRENT_LIST_DIR}/GridReports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrinterCanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintFit.cpp)
target_include_directories(vexal_reports PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_reports PUBLIC vexal_gridpage vexal_ui vexal_uiprint vexal_season vexal_platform
  Qt6::Widgets Qt6::PrintSupport)
