#pragma once

#include <gtest/gtest.h>
#include <maya/MObject.h>
#include <mayahost/HostControl.h>

// Every case starts from, and leaves behind, a fresh host with one plug-in object to
// register types and commands on.
class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        mayahost::resetHost();
        plugin = mayahost::pluginObject("hostTestPlugin", "/opt/hostTest/plug-ins");
    }
    void TearDown() override { mayahost::resetHost(); }

    MObject plugin;
};
