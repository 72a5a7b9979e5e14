# Statistics: the matchup sheet, statistic codes, team tables and box-score rows without Qt
# (vexal_statcore), and the Statistics window (vexal_statistics).
add_library(vexal_statcore STATIC ${CMAKE_CURRENT_LIST_DIR}/StatSheet.cpp)
target_include_directories(vexal_statcore PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_statcore PUBLIC vexal_engine vexal_season)
set_target_properties(vexal_statcore PROPERTIES AUTOMOC OFF)

add_library(vexal_statistics STATIC
  ${CMAKE_CURRENT_LIST_DIR}/StatsWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatisticsWindows.cpp)
target_include_directories(vexal_statistics PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_statistics PUBLIC vexal_statcore vexal_engine vexal_reports vexal_gridpage vexal_shell
  vexal_ui vexal_season vexal_platform Qt6::Widgets)
