// Gathering the facts about a disc folder through the launcher's own Windows code.
#pragma once
#include <windows.h>

#include <string>

#include "disccheck/disc_report.h"

// Reads autorun.inf, the picture, the game and wing32.dll of the disc folder (a full path
// ending in a backslash) and measures the launcher's dialog from instance's resources.
void GatherDiscFacts(HINSTANCE instance, const std::string& folder, DiscFacts* facts);

// Measures the launcher's dialog from instance's resources (a hidden window of its class) into
// facts' window, client and button, as the checker does for a disc; false when it cannot be
// created here.
bool MeasureLauncherDialog(HINSTANCE instance, DiscFacts* facts);
