#pragma once
// Test fixture: a fresh platform with "operator" logged in.
#include <gtest/gtest.h>

#include <string>

#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_errors.h"
#include "zrsdk/zrsdk_session.h"

namespace zrsdk_test {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        zrsdk::control::ResetAll();
        ASSERT_EQ(ZRSDK_Login("operator", "operator", &session), ZRSDK_OK);
    }
    void TearDown() override { zrsdk::control::ResetAll(); }

    int Login(const std::string& user) {
        int id = 0;
        EXPECT_EQ(ZRSDK_Login(user.c_str(), user.c_str(), &id), ZRSDK_OK);
        return id;
    }

    int session = 0;
    ZRSDK_OPERATE_INFO op = MakeOperateInfo();

private:
    static ZRSDK_OPERATE_INFO MakeOperateInfo() {
        ZRSDK_OPERATE_INFO info{};
        zrsdk::control::SetText(info.menuKey, "M-PTZ-01");
        zrsdk::control::SetText(info.menuName, "PTZ control");
        return info;
    }
};

}  // namespace zrsdk_test
