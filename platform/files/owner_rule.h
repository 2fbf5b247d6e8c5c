// Whose files the game may use in a folder that others may write to.
//
// In a folder only its owner may write to, whatever is there was put there by the owner. In one
// that others may write to as well (group or world, sticky or not), a link, a file or a folder
// is used only when it belongs to the player or to the folder's owner: anyone else's may have
// been planted to turn the game's writes against the player's files, or to hand the player
// something to open.
#pragma once

#include <string>

namespace vexlorn {

// The rule for a link, file or folder belonging to `owner` (a user id) in the open folder
// `folder` (a descriptor).
bool ownerRuleAllowsOwner(int folder, unsigned long owner);

// The rule for `name` as found in the open folder `folder` (a descriptor), the link itself
// judged and not what it leads to; a missing name is allowed (nothing to refuse yet).
bool ownerRuleAllowsAt(int folder, const char* name);

// `dir` and each folder on the way to it made when missing (private to the player), each one
// entered only as the rule allows. False when one cannot be made or is not allowed.
bool makeFoldersAsAllowed(const std::string& dir);

// The rule for `path` (relative to the working directory or absolute), and, when it is a link,
// for every link on the way and for the file it finally leads to, each in its own folder.
bool ownerRuleAllows(const std::string& path);

}  // namespace vexlorn
