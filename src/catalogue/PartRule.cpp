#include "catalogue/PartRule.h"

#include <cstring>

PartRule::PartRule(int32_t category, int32_t polarity) : category(category), polarity(polarity) {}

PartRule::PartRule(const PartRule& other)
    : ListNode(), category(other.category), polarity(other.polarity), flags(other.flags) {
    std::memcpy(letters, other.letters, sizeof letters);
}

void PartRule::AddLetter(char letter) {
    const size_t n = std::strlen(letters);
    if (n < kMaxLetters && letter) {
        letters[n] = letter;
        letters[n + 1] = '\0';
    }
}

bool PartRule::LetterTest(char letter) const {
    const bool listed = letter && std::memchr(letters, letter, std::strlen(letters)) != nullptr;
    return listed == (polarity == 1);
}

bool PartRule::FlagTest(uint32_t bit, bool hasProperty) const {
    if (!(flags & bit)) return true;
    return polarity == 1 ? hasProperty : !hasProperty;
}
