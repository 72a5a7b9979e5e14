# The sequential HTML report writer of the consensus and range reports (GUI-free).
add_library(vexal_htmlreport STATIC ${CMAKE_CURRENT_LIST_DIR}/HtmlReport.cpp)
target_include_directories(vexal_htmlreport PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_htmlreport PUBLIC vexal_runtime)
set_target_properties(vexal_htmlreport PROPERTIES AUTOMOC OFF)
