# The program's own widgets every window uses: the grid, form resizer, progress bar,
# gradient background, busy cursor, keystroke sender, text-box filter, notice pop-up and
# the screen metrics.
add_library(vexal_ui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Grid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Screen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cResizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cBackGround.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMouse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SendKey.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cTextBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NoticeWindow.cpp)
target_include_directories(vexal_ui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_ui PUBLIC vexal_platform vexal_season Qt6::Widgets)

# The notice pop-up's interface (Notice.h) is GUI-free and header-only, so the season
# loader can raise notices without Qt.
add_library(vexal_notice INTERFACE)
target_include_directories(vexal_notice INTERFACE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_season PUBLIC vexal_notice)
