// Typing initials on the end and win screens.
#pragma once

#include <cstdint>

#include "frame/pad_keys.h"  // entryPreview

namespace vexlorn {

inline constexpr int entryLetterCount = 3;  // initials typed at most

extern char entryName[10];
extern int16_t entryCursor;

// The library's character for a scancode; replaceable where no keyboard driver exists (tests).
extern int (*keyToAscii)(int scancode);

struct NameEntryLayout {
    int headingX, headingY;
    int lettersX, lettersY;
};
inline constexpr NameEntryLayout endNameLayout{136, 64, 180, 96};
inline constexpr NameEntryLayout winNameLayout{254, 155, 298, 187};

// The player's score enters the hall of fame, so the end and win screens ask for initials.
bool playerEntersName();
// Letters still free in the initials.
int entryLettersLeft();

// Draws the heading and the letters.
void drawNameEntry(const NameEntryLayout& layout);
// Takes one typed letter or Backspace from lastKey. Returns true when it took a key.
bool takeNameKey();
// Both, as the end and win screens' updates do.
bool nameEntryStep(const NameEntryLayout& layout);

}  // namespace vexlorn
