# The prediction engine, GUI-free: it links the season database and the formula file codec,
# never Qt. Its evaluation loop is the program's hot path, so it is optimised in every build
# type but Debug (no fast-math: results must be reproducible bit for bit).
add_library(vexal_engine STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TSPredict.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TSPredictStatistics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TSPredictRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TSPredictGames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TSPredictFast.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FastEvaluator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GridWorkers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FastKernelGeneric.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FastKernelAvx2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FastKernelAvx512.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormulaLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MoneyLineTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WeeklyTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineArrays.cpp)
target_include_directories(vexal_engine PUBLIC ${CMAKE_CURRENT_LIST_DIR})
find_package(Threads REQUIRED)
target_link_libraries(vexal_engine PUBLIC vexal_season vexal_formulafile PRIVATE Threads::Threads)
target_compile_options(vexal_engine PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O3>)
# The AVX2 and AVX-512 builds of the inner loop are chosen at run time on processors that have
# them. No fused multiply-add: it would round differently from the straightforward evaluation.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FastKernelGeneric.cpp PROPERTIES COMPILE_OPTIONS "-ffp-contract=off")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FastKernelAvx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2;-mno-fma;-ffp-contract=off")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FastKernelAvx512.cpp PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx512dq;-ffp-contract=off")
