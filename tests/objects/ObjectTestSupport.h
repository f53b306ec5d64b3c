#pragma once
// Small objects for the map-object tests: a unit with part facings, a kind and a blocker of
// its choosing, a goal with stored fields of any type, and the expected bytes of commands built
// from a description of their fields.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/Point.h"
#include "core/SimId.h"
#include "map/CollisionFilter.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"

inline const CollisionFilter kUnitFilter{1, 0, 0, 0, 0};

class TestUnit : public GameObject {
public:
    TestUnit(int team, int serial, const Point& at, int maxDamage = 100)
        : GameObject(at, 0, Size(32, 32), nullptr, 0, kUnitFilter, SimId(team, serial), maxDamage,
                     1) {}

    int GetKind() override { return kind; }
    void GetPartFacings(int32_t* facings, int room, int& count) override {
        count = 0;
        for (int32_t f : partFacings) {
            if (count < room) facings[count++] = f;
        }
    }
    void SetPartFacings(const int32_t* facings, int count) override {
        partFacings.assign(facings, facings + count);
    }
    void GetBlockingSim(SimId& out) override { out = blocker; }
    int CanSee(GameObject*) override { return sees; }

    int kind = 1;
    std::vector<int32_t> partFacings;
    SimId blocker;
    int sees = 1;
};

// A goal of any type with the stored fields a test gives it (the economy goals' stand-in).
class FieldsGoal : public Goal {
public:
    FieldsGoal(const SimId& owner, int type, const GoalFields& fields)
        : Goal(owner, 1, 0), type(type), fields(fields) {}
    FieldsGoal(const SimId& owner, int type, const SimId& id, const Point& point)
        : FieldsGoal(owner, type, GoalFields{}) {
        fields.id = id;
        fields.point = point;
    }
    int GetType() const override { return type; }
    int IsDone() override { return 0; }
    GoalFields StoredFields() const override { return fields; }

    int type;
    GoalFields fields;
};

// The bytes a command should have, written field by field; the length byte is filled in from
// what was written.
class ExpectedCommand {
public:
    ExpectedCommand(int kind, const SimId& id) {
        bytes.push_back(0);
        bytes.push_back(static_cast<uint8_t>(kind));
        Id(id);
    }
    ExpectedCommand& U8(int v) {
        bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    ExpectedCommand& I16(int v) {
        U8(v & 0xFF);
        return U8((v >> 8) & 0xFF);
    }
    ExpectedCommand& W32(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        I16(static_cast<int>(u & 0xFFFF));
        return I16(static_cast<int>(u >> 16));
    }
    ExpectedCommand& Pt(const Point& p) {
        I16(p.x);
        return I16(p.y);
    }
    ExpectedCommand& Id(const SimId& id) {
        U8(id.team);
        return W32(id.serial);
    }
    ExpectedCommand& Text(const std::string& s) {
        for (char c : s)
            U8(static_cast<uint8_t>(c));
        return U8(0);
    }
    ExpectedCommand& Zeros(int n) {
        for (int i = 0; i < n; ++i)
            U8(0);
        return *this;
    }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out = bytes;
        out[0] = static_cast<uint8_t>(out.size());
        return out;
    }

private:
    std::vector<uint8_t> bytes;
};

inline std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// What a command buffer holds.
inline std::vector<uint8_t> Recorded(const CommandBuffer& buffer) {
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}
