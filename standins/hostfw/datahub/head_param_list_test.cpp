#include <gtest/gtest.h>

#include <string>

#include "datahub/head_param_list.h"

namespace {

TEST(CHeadParamList, KeepsTheOrderAndReplacesInPlace) {
    Datahub::CHeadParamList headers;
    headers.SetParam("X-Operate-Code", "M-PTZ-01");
    headers.SetParam("X-Operate-Name", "PTZ control");
    headers.SetParam("X-Subject-Token", "t1");
    headers.SetParam("X-Operate-Code", "M-REC-01");
    const auto& params = headers.GetParams();
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[0], (std::pair<std::string, std::string>("X-Operate-Code", "M-REC-01")));
    EXPECT_EQ(params[1].first, "X-Operate-Name");
    EXPECT_EQ(params[2].second, "t1");
}

}  // namespace
