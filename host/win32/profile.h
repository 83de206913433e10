// The station's profile (INI) files as whole texts, for the system editor:
// where a file of a name lives, and a rewrite of a whole file under the
// same folder lock that the profile calls' own writes take, so that an
// edit and a station's WritePrivateProfileStringA never mix.
#pragma once

#include <string>

namespace vx70::win {

// The path that the profile calls use for `file`: a bare name lies in the
// station's INI folder (an existing file that matches without case first).
std::string profileFilePath(const std::string& file);

// Replaces the file's content at once: a finished copy, flushed to disk,
// renamed over it; the station's INI folder is made when missing.  Throws
// std::runtime_error naming the file and the cause; the old file then
// stays as it was.
void replaceProfileFile(const std::string& path, const std::string& content);

}  // namespace vx70::win
