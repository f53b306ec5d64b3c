#include "catalogue/Template.h"

#include "catalogue/CatalogueServices.h"

namespace {

std::optional<std::string> Copy(const char* text) {
    if (!text) return std::nullopt;
    return std::string(text);
}

}  // namespace

Template::Template(const TemplateValues& v)
    : Template(v.clan, v.role, v.secondCost, v.firstCost, v.buildTime, v.name, v.helpText,
               v.helpText2, nullptr, v.minimumTechLevel) {}

Template::Template(char clan, char role, int32_t secondCost, int32_t firstCost, int32_t buildTime,
                   const char* name, const char* helpText, const char* helpText2, Template* parent,
                   int32_t minimumTechLevel)
    : clan(clan),
      role(role),
      firstCost(firstCost),
      secondCost(secondCost),
      buildTime(buildTime),
      name(Copy(name)),
      helpText(Copy(helpText)),
      helpText2(Copy(helpText2)),
      parent(parent),
      minimumTechLevel(minimumTechLevel) {}

Template::~Template() {
    Unlink();
}

const char* Template::Name() const {
    for (const Template* t = this; t; t = t->parent)
        if (t->name) return t->name->c_str();
    return nullptr;
}

const char* Template::HelpText() const {
    for (const Template* t = this; t; t = t->parent)
        if (t->helpText) return t->helpText->c_str();
    return nullptr;
}

const char* Template::HelpText2() const {
    for (const Template* t = this; t; t = t->parent)
        if (t->helpText2) return t->helpText2->c_str();
    return nullptr;
}

bool IsAvailableTo(const Template& record, char clan) {
    return (record.clan == clan || record.clan == 'X') &&
           record.minimumTechLevel <= Services().ClanTechLevel(clan);
}
