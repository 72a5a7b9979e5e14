if(TARGET vexal_internet)
  vexal_test(internet_core_tests SOURCES InternetCoreTest.cpp Html2TextTest.cpp LIBS vexal_internetcore)
  vexal_test(internet_window_tests QT SOURCES DownloadWindowTest.cpp UpdateCheckerTest.cpp TSGetTest.cpp LIBS vexal_internet)
endif()
