# The sample-season generator: a GUI-free library that tests call in-process, and the
# command that ./scripts/run uses to make the sample program folder.
add_library(vexal_samplegen STATIC ${CMAKE_CURRENT_LIST_DIR}/SampleSeasons.cpp)
target_include_directories(vexal_samplegen PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_samplegen PUBLIC vexal_season)

add_executable(make_sample_seasons ${CMAKE_CURRENT_LIST_DIR}/make_sample_seasons.cpp)
target_link_libraries(make_sample_seasons PRIVATE vexal_samplegen)
