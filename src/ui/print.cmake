# The print dialog with the current printer, and memory blocks handed over by handle.
add_library(vexal_uiprint STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PrintDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Memory.cpp)
target_include_directories(vexal_uiprint PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_uiprint PUBLIC vexal_platform Qt6::Widgets Qt6::PrintSupport)
