# The application shell's windows, driven headless: start-up, view switching, selectors,
# refresh, themes and shutdown.
vexal_test(shell_window_tests QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ShellTestSupport.cpp
          ${CMAKE_CURRENT_LIST_DIR}/StartupTests.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ViewSwitchTests.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ThemeTests.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ExceptionTextTests.cpp
  LIBS vexal_shell vexal_samplegen)
