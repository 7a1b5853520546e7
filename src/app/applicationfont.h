#pragma once

#include <QString>

// Registers the compiled-in bold face and makes requests for "Proxima Nova" resolve to it.
// Returns the family the face registered under, or an empty string when it could not be loaded.
QString registerApplicationFont();
