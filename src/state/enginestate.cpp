#include "state/enginestate.h"

EngineState gs_info;
TimeControlState TimeControl;
