// UTF-8 and the wide strings of Windows' own calls, and the program's folder.
#pragma once

#include <string>

namespace rd::windows {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);
// The folder of the running .exe, without a separator at the end.
std::wstring programFolder();

}  // namespace rd::windows
