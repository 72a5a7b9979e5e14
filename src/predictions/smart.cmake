# Smart predictions: the GUI-free search rules join the report library.
target_sources(vexal_predictreports PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SmartPredict.cpp)
target_sources(vexal_predictions PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SmartPredictView.cpp)
