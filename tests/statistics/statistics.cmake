vexal_test(statsheet_tests SOURCES StatSheetTest.cpp LIBS vexal_statcore)
vexal_test(statswindow_tests QT SOURCES StatsWindowTest.cpp
  LIBS vexal_statistics vexal_formulas vexal_samplegen)
