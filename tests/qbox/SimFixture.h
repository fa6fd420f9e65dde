#pragma once

// Shared by the tuner tests: COM on the test thread, a simulated tuner
// installed in its apartment, and the check that every test ends with no
// simulated object alive and no reference held.

#include <gtest/gtest.h>

#include <stdio.h>

#include <memory>
#include <string>

#include "SimTuner.h"

inline std::string Hr(HRESULT hr)
{
    char text[32];
    snprintf(text, sizeof(text), "hr 0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

class SimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(S_OK, hr) << Hr(hr);
        comInitialised_ = true;
    }

    void TearDown() override
    {
        if (sim) {
            std::vector<std::string> unexpected = sim->UnexpectedCalls();
            EXPECT_TRUE(unexpected.empty()) << "first unexpected call: " << unexpected.front();
            sim.reset();
        }
        EXPECT_EQ(0, simtuner::Simulation::LiveObjects()) << "simulated objects leaked";
        EXPECT_EQ(0, simtuner::Simulation::OutstandingReferences()) << "references leaked";
        EXPECT_EQ(0, simtuner::Simulation::LiveFactories()) << "class factory not revoked";
        if (comInitialised_)
            CoUninitialize();
    }

    void Install(simtuner::Config config = simtuner::OneTuner())
    {
        sim.reset(new simtuner::Simulation(std::move(config)));
        HRESULT hr = sim->Install();
        ASSERT_EQ(S_OK, hr) << Hr(hr);
    }

    std::unique_ptr<simtuner::Simulation> sim;

private:
    bool comInitialised_ = false;
};

inline simtuner::Config Devices(std::initializer_list<simtuner::Device> devices)
{
    simtuner::Config config;
    config.devices = devices;
    return config;
}

inline simtuner::Device Named(const wchar_t* name)
{
    simtuner::Device device;
    device.friendlyName = name;
    return device;
}
