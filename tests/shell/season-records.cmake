# Season and line records, teams and divisions, shared procedures, dates, and the
# sample-season generator.
vexal_test(season_records_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GameRecordTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TeamsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SharedProcsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDatesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SampleSeasonsTest.cpp
  LIBS vexal_season vexal_samplegen)
# One test runs the command itself.
add_dependencies(season_records_tests make_sample_seasons)
