#pragma once

// Console analysis: reads one pending input line after a completed iteration.
void pollInput();
