# Game data entry: line files and the week's lines (vexal_entrycore, no Qt), and the
# data-entry windows (vexal_entry).
add_library(vexal_entrycore STATIC ${CMAKE_CURRENT_LIST_DIR}/LineFiles.cpp ${CMAKE_CURRENT_LIST_DIR}/GameEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GameForm.cpp ${CMAKE_CURRENT_LIST_DIR}/BoxScore.cpp)
target_include_directories(vexal_entrycore PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_entrycore PUBLIC vexal_season)
set_target_properties(vexal_entrycore PROPERTIES AUTOMOC OFF)

add_library(vexal_entry STATIC
  ${CMAKE_CURRENT_LIST_DIR}/LinesWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OtherFactorsWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InputStatsWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BoxScorePrint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EntryWindows.cpp)
target_include_directories(vexal_entry PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_entry PUBLIC vexal_entrycore vexal_reports vexal_shell vexal_ui vexal_season
  vexal_platform Qt6::Widgets)
