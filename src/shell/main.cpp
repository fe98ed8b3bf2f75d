// Placeholder entry point until the engine shell lands.
#include "shell/startup.h"

int main() { return runEngine(); }
