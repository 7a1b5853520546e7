#pragma once

#include <QString>

// Points the settings store of this process (and of the programs it starts) at a fresh empty folder.
// Call before the application object exists: the store's location is fixed on first use.
// Returns the folder.
QString isolateSettingsStore();
