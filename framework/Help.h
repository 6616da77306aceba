// Help through the system's help viewer: the application's help file at a help context.
#pragma once
#include <string>

// Asks the help viewer for the topic of the context in the help file (its contents for
// context 0), on behalf of the active window; false when the viewer could not be asked.
bool ShowHelpTopic(const std::string& helpFile, int context);
// Makes every help request of the program (F1, Help buttons) open Application.HelpFile.
void InstallHelp();
