# The prediction engine: its interface, rolling statistics, power ratings, predictions and
# grading, formula test runs with their files, and the fast evaluation against the
# straightforward one.
vexal_test(engine_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GeneratedSeasons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EngineTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EngineInterfaceTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RollingStatsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PowerRatingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PredictionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RunTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FastEvaluationTest.cpp
  LIBS vexal_engine vexal_samplegen)
