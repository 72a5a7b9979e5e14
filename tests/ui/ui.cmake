# The UI support widgets, headless: grid, resizer, progress bar, gradient background,
# busy cursor, keystrokes, text-box filter, notice pop-up and screen metrics.
vexal_test(ui_tests QT
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GridTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResizerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgBarTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BackgroundTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NoticeScreenTest.cpp
  LIBS vexal_ui)
