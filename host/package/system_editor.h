// The system editor that Execute("SYSEDIT.EXE") opens: the station's INI
// files, the package INI (which the name VEXA.INI names too, docs/ini.md)
// and WIN.INI, each read whole and saved whole.  A front end shows them (vx70 serve's editor
// window); nothing else of the file system is reached through it.
#pragma once

#include <string>
#include <vector>

namespace vx70::package {

struct SystemFile {
  std::string name;  // "VX70.INI", "WIN.INI": how the editor names it
  std::string path;  // where it lives
  std::string text;  // UTF-8, lines ended by "\n"; empty for a file not made yet
  bool exists = false;
};

// The files, in the editor's order, each once.
std::vector<SystemFile> systemEditorFiles();

// Saves the UTF-8 text as the whole content of the file that the editor
// names so, in the Windows code page and with the file's own line ends
// (CR LF where it had them).  Throws std::runtime_error for a name that is
// not one of them, a character that the code page cannot hold, or a
// file that cannot be written; the file is then as it was.
void saveSystemEditorFile(const std::string& name, const std::string& text);

}  // namespace vx70::package
