#pragma once

// Each subcommand of quintarex-tool gets the arguments after its name and returns the exit status:
// 0 success, 1 a failure to report (missing table, position not found), 2 bad arguments.
int perftCommand(int argc, char** argv);
int benchCommand(int argc, char** argv);
int benchPerftCommand(int argc, char** argv);
int benchSearchCommand(int argc, char** argv);
int searchCommand(int argc, char** argv);
int evalCommand(int argc, char** argv);
int bookCommand(int argc, char** argv);
int probeCommand(int argc, char** argv);
int annotateCommand(int argc, char** argv);

// Sets the current position from a FEN (four to six fields) or reports a clear error; false on failure.
bool setupToolPosition(const char* fen);
