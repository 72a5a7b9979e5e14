# Standings: the GUI-free standings arithmetic (vexal_standingscalc, no Qt), and the
# Standings and Power Ratings windows (vexal_standings).
add_library(vexal_standingscalc STATIC ${CMAKE_CURRENT_LIST_DIR}/StandingsCalc.cpp)
target_include_directories(vexal_standingscalc PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_standingscalc PUBLIC vexal_season)
set_target_properties(vexal_standingscalc PROPERTIES AUTOMOC OFF)

add_library(vexal_standings STATIC
  ${CMAKE_CURRENT_LIST_DIR}/StandingsWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PowerWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StandingsWindows.cpp)
target_include_directories(vexal_standings PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_standings PUBLIC vexal_standingscalc vexal_chart vexal_internet vexal_engine vexal_reports vexal_shell
  vexal_ui vexal_season vexal_platform Qt6::Widgets)
