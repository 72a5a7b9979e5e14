# The formula file (.fla) codec, GUI-free: shared by the engine and the formula windows.
add_library(vexal_formulafile STATIC ${CMAKE_CURRENT_LIST_DIR}/FormulaFile.cpp)
target_include_directories(vexal_formulafile PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_formulafile PUBLIC vexal_season)

# The shipped default formula: its bytes are built into the library, and the file itself is
# copied beside the program (see src/app).
set(VEXAL_DEFAULT_FORMULA ${CMAKE_CURRENT_LIST_DIR}/default.fla CACHE INTERNAL "")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VEXAL_DEFAULT_FORMULA})
file(READ ${VEXAL_DEFAULT_FORMULA} default_formula_hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," default_formula_bytes "${default_formula_hex}")
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/generated/DefaultFormulaBytes.inc
     CONTENT "${default_formula_bytes}\n")
add_library(vexal_defaultformula STATIC ${CMAKE_CURRENT_LIST_DIR}/DefaultFormula.cpp)
target_include_directories(vexal_defaultformula PUBLIC ${CMAKE_CURRENT_LIST_DIR}
                           PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_link_libraries(vexal_defaultformula PUBLIC vexal_runtime)
