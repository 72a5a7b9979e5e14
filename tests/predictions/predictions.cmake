vexal_test(predict_tests SOURCES PredictTest.cpp LIBS vexal_predictcore)
vexal_test(predictwindow_tests QT SOURCES PredictWindowTest.cpp SingleGameWindowTest.cpp
  LIBS vexal_predictions vexal_formulas vexal_samplegen)
