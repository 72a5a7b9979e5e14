vexal_test(htmlreport_tests SOURCES HtmlReportTest.cpp LIBS vexal_htmlreport)
