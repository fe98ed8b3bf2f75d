#pragma once
// The table files: where they are looked for, and how a file is mapped and checked.
#include "tablebase/tbregistry.h"

// Sets the WDL and DTZ directory lists (separated by ':' or ';'); RTBWDIR and RTBZDIR, when
// set, replace them.
void tbSetDirectories(const char* path);
// True when some WDL directory holds a readable name.rtbw.
bool tbWdlFileExists(const char* name);
// Maps and parses the entry's WDL file; on failure the entry holds no mapping and no decoders.
bool tbLoadWdlFile(TbWdlEntry& e, const char* name);
// The same for a DTZ table whose key, symmetry and shape are filled in (its destructor unmaps).
bool tbLoadDtzFile(TbDtzEntry& e, const char* name);
// Drops the entry's decoders and its mapping.
void tbReleaseWdl(TbWdlEntry& e);
