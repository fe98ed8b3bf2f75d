// The engine: the shell chooses the protocol from the first line of input.
#include "shell/startup.h"

int main() { return runEngine(); }
