# Predictions: the GUI-free rules of a week's predictions (vexal_predictcore, no Qt), and
# the Predictions and Single Game windows (vexal_predictions).
add_library(vexal_predictcore STATIC ${CMAKE_CURRENT_LIST_DIR}/Predict.cpp)
target_include_directories(vexal_predictcore PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_predictcore PUBLIC vexal_season)
set_target_properties(vexal_predictcore PROPERTIES AUTOMOC OFF)

add_library(vexal_predictions STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PredictWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SingleGameWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PredictionWindows.cpp)
target_include_directories(vexal_predictions PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_predictions PUBLIC vexal_predictcore vexal_engine vexal_reports vexal_shell vexal_ui
  vexal_formulafile vexal_defaultformula vexal_season vexal_platform Qt6::Widgets vexal_predictreports)
