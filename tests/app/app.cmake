# The whole program started in-process, with every window that exists.
vexal_test(app_startup_tests QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/AppStartupTests.cpp
  LIBS vexal_app vexal_samplegen)
