// Typing an address.
#include "screens/address_entry.h"

namespace vexlorn {

bool isAddressCharacter(int character) {
    const bool letter =
        (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z');
    const bool digit = character >= '0' && character <= '9';
    return letter || digit || character == '.' || character == '-' || character == ':' ||
           character == '[' || character == ']';
}

bool AddressEntry::type(int character) {
    if (!isAddressCharacter(character) || text_.size() >= longest) return false;
    text_ += static_cast<char>(character);
    return true;
}

bool AddressEntry::erase() {
    if (text_.empty()) return false;
    text_.pop_back();
    return true;
}

}  // namespace vexlorn
