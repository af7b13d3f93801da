#pragma once

#include <string>

#include "settings/file_io.h"
#include "settings/settings_location.h"

// What the calculator tells its user about the settings file: where it is, and why it could not
// be read or written.

// "“/path/Set.ini”", or why there is no path, in brackets.
std::string WhereSaved(const char* path, trellan::NoSavePath noSavePath);

// The cause in a few words ("磁盘已满"); empty for FileError::None.
std::string CauseText(trellan::FileError error);

std::string SaveFailedMessage(const char* path, trellan::NoSavePath noSavePath,
                              trellan::FileError error);

// A Set.ini that exists but could not be read at start-up.
std::string UnreadableMessage(const char* path, trellan::FileError error);
