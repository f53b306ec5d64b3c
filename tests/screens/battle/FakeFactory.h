#pragma once
// A factory whose production is a list of designs, and whose warnings' causes a test sets.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/VehicleDesign.h"
#include "objects/FactoryProduction.h"
#include "world/TestObject.h"

class FakeFactory : public TestObject, public FactoryProduction {
public:
    FakeFactory(const Point& at) : TestObject(1, 900, at, 4, 24) {}
    GameObject* AsObject() override { return this; }
    VehicleDesign* CurrentJob() override { return current.get(); }
    int32_t RemainingTime() override { return remaining; }
    int QueuedJobCount() override { return static_cast<int>(queue.size()); }
    VehicleDesign* QueuedJob(int i) override { return queue.at(static_cast<size_t>(i)).get(); }
    int QueueJob(std::unique_ptr<VehicleDesign> job, int front) override {
        fronts.push_back(front);
        if (!queueResult) return 0;
        queue.insert(front ? queue.begin() : queue.end(), std::move(job));
        return 1;
    }
    int CancelJob(VehicleDesign* job) override {
        cancelled.push_back(job ? job->name : "current");
        return 1;
    }
    int HasProduct() override { return 0; }
    int ProductionState() override { return 0; }
    int IsProductionPaused() override { return productionPaused; }
    void SetProductionPaused(int paused) override { productionPaused = paused; }
    int32_t GetCredit() override { return credit; }
    int32_t GetStore() override { return 0; }
    void AddResources(int32_t, int32_t) override {}
    int UnfoldState() override { return 4; }
    void StepUnfold() override {}
    Point UnfoldedCentre() override { return position; }
    Point UnfoldedCentreAt(const Point& p) override { return p; }
    Size UnfoldedSize() override { return Size(64, 64); }
    int CanUnfoldAt(const Point&) override { return 1; }
    int IsBuildAreaFreeAt(const Point&) override { return 1; }
    int IsBuildAreaFree() override { return buildAreaFree; }
    int HasProductReady() override { return productReady; }
    int IsDockAreaFree(int, const Point&) override { return dockAreaFree; }
    GameObject* MinedDeposit() override { return nullptr; }
    int FindUnloadDock() override { return -1; }
    Point DockPoint(int) override { return position; }
    int32_t ReceiveDelivery(int32_t, int32_t) override { return 0; }

    std::unique_ptr<VehicleDesign> current;
    int32_t remaining = 5000;
    std::vector<std::unique_ptr<VehicleDesign>> queue;
    std::vector<int> fronts;
    std::vector<std::string> cancelled;
    int buildAreaFree = 1;
    int productReady = 1;
    int dockAreaFree = 1;
    int32_t credit = 0;
    int productionPaused = 0;
    int queueResult = 1;
};
