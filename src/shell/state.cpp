#include "shell/state.h"

EngineState gs_info;
TimeControlState TimeControl;
FILE* gameLog = nullptr;
