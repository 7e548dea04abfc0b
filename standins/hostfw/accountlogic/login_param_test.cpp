#include <gtest/gtest.h>

#include <memory>

#include "accountlogic/login_param.h"

namespace {

TEST(CLoginParam, IsALoginEventWithItsPayloadView) {
    char payload[16] = "lock status";
    AccountLogic::CLoginParam param(AccountLogic::LOGIN_EVENT_PTZ_LOCK_STATUS, 0, payload, 16);
    EXPECT_EQ(param.GetBusiness(), Datahub::BUSINESS_LOGIN);
    EXPECT_EQ(param.GetEventType(), 40);
    EXPECT_EQ(param.GetEventResult(), 0);
    EXPECT_EQ(param.GetEventBuf(), payload);
    EXPECT_EQ(param.GetBufSize(), 16u);

    AccountLogic::CLoginParam copy(param);
    AccountLogic::CLoginParam other(213, 1, nullptr, 0);
    other = param;
    param = AccountLogic::CLoginParam(52, 3, nullptr, 0);  // copies keep their own values
    EXPECT_EQ(copy.GetEventType(), 40);
    EXPECT_EQ(copy.GetEventBuf(), payload);
    EXPECT_EQ(other.GetEventType(), 40);
    EXPECT_EQ(other.GetBufSize(), 16u);
    EXPECT_EQ(param.GetEventType(), 52);
    EXPECT_EQ(param.GetEventResult(), 3);
    EXPECT_EQ(param.GetEventBuf(), nullptr);

    // Observers receive it as a BaseParam and view it as a CLoginParam again.
    std::shared_ptr<Datahub::BaseParam> base =
        std::make_shared<AccountLogic::CLoginParam>(167, 0, payload, 5);
    auto login = std::static_pointer_cast<AccountLogic::CLoginParam>(base);
    EXPECT_EQ(login->GetBufSize(), 5u);
    Datahub::BaseParam sliced(*base);
    EXPECT_EQ(sliced.GetBusiness(), Datahub::BUSINESS_LOGIN);
    EXPECT_EQ(sliced.GetEventType(), 167);
}

}  // namespace
