// The address a player types to join a game: a name or an IPv4 address, with a port after a
// colon, or an IPv6 address in brackets.
#pragma once

#include <cstddef>
#include <string>

namespace vexlorn {

// Letters, digits and . - : [ ], the characters of a host name, an address and a port.
bool isAddressCharacter(int character);

class AddressEntry {
public:
    // Room for a long name with its port; more would not fit on the screen.
    static constexpr size_t longest = 40;

    // False for a character no address holds, or when the text is full.
    bool type(int character);
    // False when there was nothing to erase.
    bool erase();
    void clear() { text_.clear(); }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace vexlorn
