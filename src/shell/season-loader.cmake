# The season loader, the week selector's procedures, stat files and the stat import,
# game insertion and removal (GUI-free; the main window installs a LoaderHost).
target_sources(vexal_season PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LoaderHost.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeasonFileAccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WeekRange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeasonLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GameInsertion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatImport.cpp)
