#pragma once
// The sample catalogue and its strings loaded over a fake object world whose command stream is
// on, with every part of both clans buildable: what the tests of real factories start from.
#include <gtest/gtest.h>

#include "catalogue/CatalogueServices.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"
#include "support/MadeAssets.h"
#include "support/TopLevels.h"

class SampleCatalogueWorld : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        SetCatalogueServices(&levels);
        ASSERT_EQ(LoadStringTable("7a1.str"), 1);
        ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
        world.commands.SetEnabled(1);
    }
    void TearDown() override {
        ClearTemplateCatalogue();
        SetCatalogueServices(nullptr);
        ResourceFile::SetAssetPath("");
    }

    TopLevels levels;
    FakeClock clock{1000};
    FakeObjectWorld world{100, 100};
};
