#pragma once

#include <QString>

// Points the settings store of this process (and of the programs it starts) at a fresh empty folder.
// Call before the application object exists: the store's location is fixed on first use.
// Returns the folder.
QString isolateSettingsStore();

// A test's main() with the widget application on an isolated settings store.
#define SEAMWRIGHT_ISOLATED_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        isolateSettingsStore();                                                                              \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestObject test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
