// Windows' file names are UTF-16; the game's are UTF-8, as Allegro's are.
#pragma once

#include <string>

namespace vexlorn {

std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& text);

}  // namespace vexlorn
