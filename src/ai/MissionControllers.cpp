#include "ai/MissionControllers.h"

#include "ai/AIPlayer.h"
#include "ai/MissionScriptT1.h"
#include "ai/MissionScriptT10.h"
#include "ai/MissionScriptT11.h"
#include "ai/MissionScriptT2.h"
#include "ai/MissionScriptT3.h"
#include "ai/MissionScriptT4.h"
#include "ai/MissionScriptT5.h"
#include "ai/MissionScriptT6.h"
#include "ai/MissionScriptT7.h"
#include "ai/MissionScriptT8.h"
#include "ai/MissionScriptT9.h"
#include "ai/MissionScriptV1.h"
#include "ai/MissionScriptV11.h"
#include "ai/MissionScriptV2.h"
#include "ai/MissionScriptV3.h"
#include "ai/MissionScriptV4.h"
#include "ai/MissionScriptV5.h"
#include "ai/MissionScriptV6.h"
#include "ai/MissionScriptV7.h"
#include "ai/MissionScriptV8.h"
#include "ai/MissionScriptV9.h"
#include "ai/TutorialScript.h"
#include "world/ScenarioController.h"

namespace {

constexpr int kFirstMission = 1;
constexpr int kLastScripted = 10;
constexpr int kPlannedMission = 11;
constexpr int kTutorial = 12;
constexpr int32_t kScriptTechLevel = 1;

template <class Script>
std::unique_ptr<ScenarioController> Make(const ControllerRequest& r) {
    return std::make_unique<Script>(r.team, r.clan, kScriptTechLevel);
}

// The first clan's scripts; the scripted player alone where a mission's own script is not
// there yet (mission 10's adds nothing to it).
std::unique_ptr<ScenarioController> MakeFirstClan(const ControllerRequest& r) {
    switch (r.mission) {
        case 1:
            return Make<MissionScriptV1>(r);
        case 2:
            return Make<MissionScriptV2>(r);
        case 3:
            return Make<MissionScriptV3>(r);
        case 4:
            return Make<MissionScriptV4>(r);
        case 5:
            return Make<MissionScriptV5>(r);
        case 6:
            return Make<MissionScriptV6>(r);
        case 7:
            return Make<MissionScriptV7>(r);
        case 8:
            return Make<MissionScriptV8>(r);
        case 9:
            return Make<MissionScriptV9>(r);
        default:
            return Make<AIPlayer>(r);
    }
}

// The second clan's scripts.
std::unique_ptr<ScenarioController> MakeSecondClan(const ControllerRequest& r) {
    switch (r.mission) {
        case 1:
            return Make<MissionScriptT1>(r);
        case 2:
            return Make<MissionScriptT2>(r);
        case 3:
            return Make<MissionScriptT3>(r);
        case 4:
            return Make<MissionScriptT4>(r);
        case 5:
            return Make<MissionScriptT5>(r);
        case 6:
            return Make<MissionScriptT6>(r);
        case 7:
            return Make<MissionScriptT7>(r);
        case 8:
            return Make<MissionScriptT8>(r);
        case 9:
            return Make<MissionScriptT9>(r);
        case 10:
            return Make<MissionScriptT10>(r);
        default:
            return nullptr;
    }
}

}  // namespace

bool IsScriptedMission(const ControllerRequest& request) {
    return request.mission >= kFirstMission;
}

std::unique_ptr<ScenarioController> MakeMissionController(const ControllerRequest& request) {
    if (!IsScriptedMission(request)) return nullptr;
    using Source = ControllerRequest::Source;
    // The tutorial's controller is made from the header alone, for the local team, so that no
    // players record of that team can take it away.
    if (request.mission == kTutorial) {
        if (request.source != Source::Header || request.team == 0) return nullptr;
        return std::make_unique<TutorialScript>(request.team, request.campaignClan,
                                                kScriptTechLevel);
    }
    if (request.source == Source::Header) return nullptr;
    // Mission 11's planners also play a generated request (the local team's auto-play).
    if (request.team == 0 || (request.clan != 'V' && request.clan != 'T')) return nullptr;
    if (request.mission == kPlannedMission) {
        if (request.campaignClan == 'T')
            return std::make_unique<MissionScriptT11>(request.team, request.clan);
        return std::make_unique<MissionScriptV11>(request.team, request.clan);
    }
    // The scripts play only the teams of a scenario's players records.
    if (request.source != Source::PlayersRecord) return nullptr;
    if (request.mission > kLastScripted) return nullptr;
    // 'T' selects the second clan's scripts, any other letter the first clan's.
    if (request.campaignClan == 'T') return MakeSecondClan(request);
    return MakeFirstClan(request);
}
