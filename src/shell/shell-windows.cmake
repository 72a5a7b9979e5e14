# The application shell's windows: splash, main window with its toolbars, rebar and
# selectors, view switching, refresh and shutdown, colour themes, and the stand-ins of the
# views that later work replaces.
target_sources(vexal_season PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ExceptionFilter.cpp)

add_library(vexal_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Splash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PopupMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Theme.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StandIns.cpp)
target_include_directories(vexal_shell PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_shell PUBLIC vexal_season vexal_ui vexal_platform Qt6::Widgets)
target_compile_definitions(vexal_shell PRIVATE
  VEXAL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  VEXAL_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  VEXAL_VERSION_REVISION=${PROJECT_VERSION_PATCH})
