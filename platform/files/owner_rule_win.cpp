// The owner rule on Windows: always allowed. The folders the game writes to there (the working
// directory, %APPDATA%) are the player's own by their access lists, and a folder others may
// write to is described by an access list rather than an owner and mode, which this rule does not
// read; links there need a privilege ordinary players do not have.
#include <filesystem>
#include <system_error>

#include "platform/files/owner_rule.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

bool ownerRuleAllowsOwner(int, unsigned long) {
    return true;
}

bool ownerRuleAllowsAt(int, const char*) {
    return true;
}

bool ownerRuleAllows(const std::string&) {
    return true;
}

bool makeFoldersAsAllowed(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(wideFromUtf8(dir)), error);
    return !dir.empty() && std::filesystem::is_directory(wideFromUtf8(dir), error);
}

}  // namespace vexlorn
