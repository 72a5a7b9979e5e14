# The GUI-free platform layer: conversions, record and profile files, the scripted services.
vexal_test(platform_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/VbConvertTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ServicesTest.cpp
  LIBS vexal_runtime)

# The Qt services: the settings store on QSettings and the message box as a dialog.
vexal_test(platform_qt_tests QT SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QtPlatformTest.cpp
  LIBS vexal_platform)
