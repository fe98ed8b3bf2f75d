#pragma once
// The commands the console and the xboard loop answer alike.

// time, otim, hard, easy and "." are answered here: true for one of them, false for any other line.
bool answerCommonCommand(const char* line);
// memory N: the hash table gets N MB. False, after the message, when N is not from 4 to 4096.
bool setHashFromCommand(const char* line);
