#pragma once
// A test on the made sample set with its catalogue loaded and every sample design of both clans
// at hand, for tests that draw real units in a World; and the map view they draw through.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Image.h"
#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "support/MadeAssets.h"
#include "support/TopLevels.h"
#include "ui/ScreenBase.h"

namespace sample_world {

constexpr int kPitch = 640;
constexpr int kViewWidth = 512;
constexpr int kViewHeight = 480;

class MapView : public ScreenBase {
public:
    Point MapToScreen(const Point& p) override {
        return Point((p.x - origin.x) >> zoom, (p.y - origin.y) >> zoom);
    }
    Point origin;
};

class SampleDesignsTest : public MadeCatalogueTest {
protected:
    void SetUp() override {
        MadeCatalogueTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        TopLevels levels;
        SetCatalogueServices(&levels);
        for (const char* file : {"Vs.vdf", "Ts.vdf"}) {
            DesignLibrary library;
            ASSERT_EQ(library.Load(file), 1);
            for (ListNode* n = library.designs.First(); n; n = library.designs.Next(n)) {
                auto d = std::make_unique<VehicleDesign>('V');
                d->CopyFrom(*static_cast<VehicleDesign*>(n));
                designs.push_back(std::move(d));
            }
        }
        SetCatalogueServices(nullptr);
    }
    void TearDown() override {
        MadeCatalogueTest::TearDown();
        ImageZoom = 0;
    }

    // A copy of the sample design of that name.
    std::unique_ptr<VehicleDesign> Design(const char* name) {
        for (auto& d : designs) {
            if (std::string(d->name) == name) {
                auto copy = std::make_unique<VehicleDesign>('V');
                copy->CopyFrom(*d);
                return copy;
            }
        }
        ADD_FAILURE() << "no sample design " << name;
        return nullptr;
    }

    std::vector<std::unique_ptr<VehicleDesign>> designs;
};

}  // namespace sample_world
