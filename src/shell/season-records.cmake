# Season and line record codecs, teams and divisions, the shared procedures and dates.
target_sources(vexal_season PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GameRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Teams.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SharedProcs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDates.cpp)
