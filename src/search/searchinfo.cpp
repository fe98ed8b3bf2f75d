#include "search/searchinfo.h"

SearchInfoRecord SearchInfo;
