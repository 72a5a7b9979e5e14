# The current formula's encodings and ReadFormula's rules (GUI-free; the editor installs the reader).
target_sources(vexal_season PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CurrentFormula.cpp)
