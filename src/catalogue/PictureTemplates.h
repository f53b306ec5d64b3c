#pragma once
// The catalogue records that are no more than a picture set: shot pictures, wreck pictures,
// destructible objects and the fixed role records (repair, scavenger, miner, ground mark).
#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/Template.h"

class SpriteSet;

// A record of no cost, no texts, no parent and minimum tech level 1 that owns one picture set.
class PictureTemplate : public Template {
public:
    PictureTemplate(char clan, char role, std::unique_ptr<SpriteSet> pictures);
    ~PictureTemplate() override;

    std::unique_ptr<SpriteSet> pictures;
};

class ShotPictureTemplate : public PictureTemplate {
public:
    // Grid "7a0P%cP%cX99s999.msp".
    ShotPictureTemplate(char clan, char role);
};

class WreckTemplate : public PictureTemplate {
public:
    // Column set "7a0B%cC%cX99s999.msp"; the value is kept and read by nothing.
    WreckTemplate(char clan, char chassis, int32_t value);
    int32_t value;
};

class DestructibleTemplate : public PictureTemplate {
public:
    // Row set "7a0axtmx99s999.msp".
    DestructibleTemplate(char clan, char role);
};

class RepairRoleTemplate : public PictureTemplate {
public:
    // Grid of the given pack name; none when the name is empty.
    RepairRoleTemplate(char clan, char role, const std::string& gridName);
};

class RoleTemplate : public PictureTemplate {
public:
    // Grid of the given pack name; none when the name is empty.
    RoleTemplate(char clan, char role, const std::string& gridName);
};
