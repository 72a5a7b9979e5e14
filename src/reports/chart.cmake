# The chart control of the Standings and Power Ratings windows.
add_library(vexal_chart STATIC ${CMAKE_CURRENT_LIST_DIR}/Chart.cpp)
target_include_directories(vexal_chart PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_chart PUBLIC vexal_platform Qt6::Widgets)
