vexal_test(dialogs_tests QT SOURCES CommonDialogTest.cpp LIBS vexal_uidialogs)
vexal_test(registry_tests SOURCES RegistryTest.cpp LIBS vexal_registry)
