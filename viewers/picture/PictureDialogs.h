// Puts the picture window's companion dialogs (whole or part, details, comments, GIF palette
// colours) behind its commands. The program does this once at start.
#pragma once

void ConnectPictureDialogs();
