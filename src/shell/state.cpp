#include "shell/state.h"

EngineState gs_info;
TimeControlState TimeControl;
