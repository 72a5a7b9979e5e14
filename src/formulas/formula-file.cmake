# The formula file (.fla) codec, GUI-free: shared by the engine and the formula windows.
add_library(vexal_formulafile STATIC ${CMAKE_CURRENT_LIST_DIR}/FormulaFile.cpp)
target_include_directories(vexal_formulafile PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_formulafile PUBLIC vexal_season)
