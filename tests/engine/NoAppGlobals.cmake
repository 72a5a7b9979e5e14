# Run as a test: cmake -DFOLDER=<src/engine> -P NoAppGlobals.cmake
# Fails when a source or header of the engine reaches the application's shared state or the
# platform's host hooks itself instead of through its EngineHost.
file(GLOB_RECURSE sources ${FOLDER}/*.h ${FOLDER}/*.cpp)
foreach(source ${sources})
  file(STRINGS ${source} hits REGEX "(^|[^A-Za-z0-9_])(App|Season|DoEvents|ProgramFolder)\\(\\)|#[ \t]*include[ \t]*\"(AppState|Host)\\.h\"")
  foreach(hit ${hits})
    list(APPEND offenders "${source}: ${hit}")
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "The engine reaches the application's globals past its host:\n${text}")
endif()
message(STATUS "the engine reaches the program only through its host")
