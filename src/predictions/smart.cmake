# Smart predictions: the GUI-free search rules join the report library.
target_sources(vexal_predictreports PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SmartPredict.cpp)
target_sources(vexal_predictions PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SmartPredictView.cpp)
# They read the engine's best row by its layout (ResultRow.h).
target_link_libraries(vexal_predictreports PUBLIC vexal_engine)
