#pragma once

// Processes events until no photo intake is running; false when one still runs after the timeout.
bool waitForIntakes(int timeoutMs = 20000);
