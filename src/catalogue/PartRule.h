#pragma once
// One rule of a design rule set: a category of parts and whether the rule requires or excludes
// the parts it names, by property bits or by up to ten part letters.
#include <cstdint>

#include "core/ListNode.h"

// Categories of parts a rule speaks about.
enum PartCategory : int32_t {
    kChassisCategory = 0,
    kDriveCategory = 1,
    kSensorCategory = 2,
    kStealthCategory = 3,
    kDefenceCategory = 4,
    kWeaponCategory = 5,
};

class PartRule : public ListNode {
public:
    static constexpr int kMaxLetters = 10;

    PartRule(int32_t category, int32_t polarity);
    PartRule(const PartRule& other);

    bool HasLetters() const { return letters[0] != '\0'; }
    // Appends a letter while fewer than ten are held.
    void AddLetter(char letter);
    // The letter test: the part's letter is among the rule's letters exactly when the rule
    // requires (polarity 1).
    bool LetterTest(char letter) const;
    // The flag test of one property: a set bit demands the property with polarity 1 and
    // forbids it otherwise; an unset bit lets everything through.
    bool FlagTest(uint32_t bit, bool hasProperty) const;

    int32_t category;
    int32_t polarity;
    uint32_t flags = 1;
    char letters[kMaxLetters + 1] = {};
};
