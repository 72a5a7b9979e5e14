vexal_test(richtext_tests SOURCES RichTextTest.cpp LIBS vexal_richtext)
vexal_test(viewer_tests QT SOURCES RichEditWindowTest.cpp LIBS vexal_viewer)
