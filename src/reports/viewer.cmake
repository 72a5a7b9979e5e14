# The document viewer and editor: its RTF reader and writer (GUI-free) and its window.
add_library(vexal_richtext STATIC ${CMAKE_CURRENT_LIST_DIR}/RichText.cpp)
target_include_directories(vexal_richtext PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_richtext PUBLIC vexal_runtime)
set_target_properties(vexal_richtext PROPERTIES AUTOMOC OFF)

add_library(vexal_viewer STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RichEditWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReportWindows.cpp)
target_include_directories(vexal_viewer PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_viewer PUBLIC vexal_richtext vexal_uidialogs vexal_reports vexal_shell vexal_ui
  vexal_season vexal_platform vexal_internet Qt6::Widgets Qt6::PrintSupport)
