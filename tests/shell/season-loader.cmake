# The season loader, the week procedures, game insertion and removal, stat files and the import.
vexal_test(season_loader_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LoaderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WeekRangeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GameInsertionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImportTest.cpp
  LIBS vexal_season vexal_samplegen)
