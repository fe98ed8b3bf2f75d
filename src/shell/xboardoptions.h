#pragma once
// The settings an xboard interface shows in its engine settings dialog: announced as features,
// changed with "option NAME=VALUE", and the tablebase path also with "egtpath syzygy PATH".

// The "feature option=..." lines and "feature egt=...", sent before the main feature line.
void sendOptionFeatures();
// "option NAME=VALUE" for one of the listed names: applies the value, or tells the user why not.
// False for any other name.
bool setXboardOption(const char* line);
// "egtpath syzygy PATH"; other table formats are not ours and are ignored.
void setEgtPath(const char* line);
