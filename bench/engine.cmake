# The engine's back-test speed: a grid of more than 100 000 formula combinations over three
# sample seasons, reported as combinations and game evaluations per second.
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/EngineBench.cpp)
target_link_libraries(engine_bench PRIVATE vexal_engine vexal_samplegen benchmark::benchmark)
