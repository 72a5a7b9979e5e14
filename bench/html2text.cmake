# HTML to text on pages with one very long tag and with many unclosed table rows.
if(TARGET vexal_internetcore)
  add_executable(html2text_bench ${CMAKE_CURRENT_LIST_DIR}/Html2TextBench.cpp)
  target_link_libraries(html2text_bench PRIVATE vexal_internetcore benchmark::benchmark)
endif()
