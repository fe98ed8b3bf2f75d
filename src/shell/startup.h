#pragma once

// Start-up: streams, INI, start position, banner, and the mode line. Returns the exit status.
int runEngine();
