vexal_test(gridpage_tests SOURCES GridPageTest.cpp LIBS vexal_gridpage)
vexal_test(gridoutput_tests QT SOURCES GridOutputTest.cpp LIBS vexal_reports)
vexal_test(printdialog_tests QT SOURCES PrintDialogTest.cpp LIBS vexal_uiprint)
