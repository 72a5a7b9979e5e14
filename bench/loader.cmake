# The season loader over all 41 generated seasons, and the import of a full week's stat file.
add_executable(loader_bench ${CMAKE_CURRENT_LIST_DIR}/LoaderBench.cpp)
target_link_libraries(loader_bench PRIVATE vexal_season vexal_samplegen benchmark::benchmark)
