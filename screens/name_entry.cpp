// Typing initials on the end and win screens.
#include "screens/name_entry.h"

#include <allegro.h>

#include "frame/globals.h"
#include "play/game1_state.h"
#include "screens/high_scores.h"
#include "screens/screen_draw.h"

namespace vexlorn {

char entryName[10] = "AAA";
int16_t entryCursor = 0;

namespace {

constexpr int letterSpacing = 22;

int libraryKeyToAscii(int scancode) {
    return scancode_to_ascii(scancode);
}

void drawLetter(int x, int y, char letter) {
    const char text[2] = {letter, '\0'};
    drawText(x, y, text);
}

}  // namespace

int (*keyToAscii)(int scancode) = libraryKeyToAscii;

bool playerEntersName() {
    return leftBoard != nullptr && qualifies(leftBoard->score);
}

int entryLettersLeft() {
    return entryLetterCount - entryCursor;
}

void drawNameEntry(const NameEntryLayout& layout) {
    drawText(layout.headingX, layout.headingY, "H I S C O R E");
    for (int i = 0; i < entryLetterCount; ++i) {
        const char letter = i == entryCursor && entryPreview != '\0' ? entryPreview : entryName[i];
        if (letter != '\0')
            drawLetter(layout.lettersX + letterSpacing * i, layout.lettersY, letter);
    }
    // Blinks: shown in ticks 16..29 of every 30.
    if (tickCount % 30 > 15) {
        if (entryCursor >= entryLetterCount) {
            drawLetter(layout.lettersX + letterSpacing * entryLetterCount, layout.lettersY, ':');
        } else {
            drawLetter(layout.lettersX + letterSpacing * entryCursor, layout.lettersY, '_');
        }
    }
}

bool takeNameKey() {
    if (lastKey == 0) return false;
    const int typed = keyToAscii(lastKey);
    if (typed >= 'a' && typed <= 'z' && entryCursor < entryLetterCount) {
        entryName[entryCursor] = static_cast<char>(typed);
        entryCursor += 1;
        lastKey = 0;
        return true;
    }
    if (lastKey == KeyBackspace && entryCursor > 0) {
        entryCursor -= 1;
        entryName[entryCursor] = '\0';
        lastKey = 0;
        return true;
    }
    return false;
}

bool nameEntryStep(const NameEntryLayout& layout) {
    drawNameEntry(layout);
    return takeNameKey();
}

}  // namespace vexlorn
