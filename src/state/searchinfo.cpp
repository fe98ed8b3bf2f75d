#include "state/searchinfo.h"

SearchInfoRecord SearchInfo;
thread_local constinit Relaxed<int64_t>* nodeCounter = &SearchInfo.nodes;
