#pragma once
// The common base of every catalogue record: clan and role letters, the three costs, the texts
// and the minimum tech level. A record may inherit its texts from a parent record.
#include <cstdint>
#include <optional>
#include <string>

#include "core/ListNode.h"

// The fields every record is read with; texts null for none.
struct TemplateValues {
    char clan = 0;
    char role = 0;
    int32_t secondCost = 0;
    int32_t firstCost = 0;
    int32_t buildTime = 0;
    const char* name = nullptr;
    const char* helpText = nullptr;
    const char* helpText2 = nullptr;
    int32_t minimumTechLevel = 1;
};

class Template : public ListNode {
public:
    // The record of the values, without a parent.
    explicit Template(const TemplateValues& values);
    // Texts are copied; null means none.
    Template(char clan, char role, int32_t secondCost, int32_t firstCost, int32_t buildTime,
             const char* name, const char* helpText, const char* helpText2, Template* parent,
             int32_t minimumTechLevel);
    ~Template() override;

    // The record's own text, else its parent's (walking the chain), else null.
    const char* Name() const;
    const char* HelpText() const;
    const char* HelpText2() const;

    char clan;
    char role;
    int32_t firstCost;
    int32_t secondCost;
    int32_t buildTime;
    std::optional<std::string> name;
    std::optional<std::string> helpText;
    std::optional<std::string> helpText2;
    Template* parent;  // not owned
    int32_t minimumTechLevel;
};

// Whether a record of a list is offered to a clan at its tech level: the record's clan letter
// is the given one or 'X', and the clan has reached the record's minimum level.
bool IsAvailableTo(const Template& record, char clan);
