vexal_test(linefiles_tests SOURCES LineFilesTest.cpp GameFormTest.cpp LIBS vexal_entrycore)
vexal_test(lineswindow_tests QT SOURCES LinesWindowTest.cpp OtherFactorsWindowTest.cpp InputStatsWindowTest.cpp
  LIBS vexal_entry vexal_samplegen vexal_shell)
