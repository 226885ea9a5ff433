// Where the program keeps its data and its temporary files, settled once at start-up from
// section "Path" of define.ini and the platform's folders.
#pragma once

#include "store/profile.h"
#include "util/text.h"

inline constexpr char16_t kDefineIniFileName[] = u"define.ini";

// All end in a backslash. Data and temp may be relative when the platform gave no folder.
struct AppDirectories {
  Text data;
  Text temp;
  Text program;  // where define.ini and the files shipped with the program are
};

// What the platform says, as it says it.
struct PlatformFolders {
  Text programDirectory;  // ends in a backslash
  Text documentsFolder;   // empty when the shell has none
  Text systemTemp;        // empty when the system has none
};

AppDirectories SettleDirectories(const IProfile& defineIni, const PlatformFolders& folders);

// A relative path taken from the program's folder (files the user keeps beside the program,
// such as the notification sound); an absolute one as it is.
Text FromProgramDirectory(TextView path, const Text& programDirectory);

// The folder part of a file path, up to and including its last backslash; empty without one.
Text DirectoryOfFile(TextView filePath);

// Platform glue: the folders of this program and the settled directories.
Text QueryProgramDirectory();
AppDirectories QueryAppDirectories();
// The same for files beside another module of the program (the band finds the settings so).
AppDirectories QueryAppDirectoriesFor(const Text& programDirectory);
