// String resources by id. The programs load them from their own resources (through the
// platform); the native build answers from the same table, compiled in.
#pragma once
#include <string>

// Identity texts.
enum : int {
  sProgramName = 65270,
  sVersionText = 65271,
  sGuideIndexName = 65272,
  sNewVersionName = 65273,
  sGuideStartName = 65274,
  sHomePage = 65275,
  sWelcome = 65276,
  sWarning256 = 65059,
  sSoundBadFile = 65249,
  sSoundUpdateStart = 65250,
  sSoundUpdateDone = 65251,
  sSoundEndOfSlides = 65252,
  sMakerName = 65291,
  sOpenCommand = 65261,
  sToolsYes = 65200,
  sToolsConfirmUpdate = 65201,
};

// Extension lists of the file categories (each text begins and ends with a space).
enum : int {
  sExtExecutable = 65230,
  sExtZip = 65231,
  sExtDocument = 65232,
  sExtMovie = 65233,
  sExtPicture = 65234,
  sExtMusic = 65235,
  sExtSound = 65236,
};

// The text of a string resource of the running program ('' when there is none).
std::string LoadResString(int id);
// The same text from the table compiled into the code (what the .rc holds).
std::string CompiledResString(int id);
