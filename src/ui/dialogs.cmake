# The program's common dialogs (file, font, colour) and the dialog object, over Qt's
# dialogs, answerable by a script in tests; the registry-value store beside them is GUI-free.
add_library(vexal_registry STATIC ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp)
target_include_directories(vexal_registry PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_registry PUBLIC vexal_runtime)
set_target_properties(vexal_registry PROPERTIES AUTOMOC OFF)

add_library(vexal_uidialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CommonDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cCommonDialog.cpp)
target_include_directories(vexal_uidialogs PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_uidialogs PUBLIC vexal_platform Qt6::Widgets)
