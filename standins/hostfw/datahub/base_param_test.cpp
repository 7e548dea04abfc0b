#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "datahub/base_param.h"
#include "datahub/head_param_list.h"

namespace {

// A parameter class built the way plug-ins build theirs: a handle with a
// derived private part that overrides Clone.
class TextParamPrivate : public Datahub::BaseParamPrivate {
public:
    TextParamPrivate(int type, int result, std::string text)
        : BaseParamPrivate(Datahub::BUSINESS_PTZ, type, result), m_text(std::move(text)) {}
    TextParamPrivate* Clone() const override { return new TextParamPrivate(*this); }
    std::string m_text;
};

class TextParam : public Datahub::BaseParam {
public:
    TextParam(int type, int result, const std::string& text)
        : BaseParam(*new TextParamPrivate(type, result, text)) {}
    std::string GetText() const { return d()->m_text; }
    void SetText(const std::string& text) { d()->m_text = text; }

private:
    TextParamPrivate* d() const { return static_cast<TextParamPrivate*>(d_ptr); }
};

TEST(BaseParam, CopiesAreDeepAndIndependent) {
    TextParam original(7, 0, "first");
    TextParam copy(original);
    copy.SetText("changed");
    EXPECT_EQ(original.GetText(), "first");
    EXPECT_EQ(copy.GetText(), "changed");
    EXPECT_EQ(copy.GetBusiness(), Datahub::BUSINESS_PTZ);
    EXPECT_EQ(copy.GetEventType(), 7);

    TextParam assigned(1, 2, "other");
    assigned = original;
    original.SetText("changed again");
    EXPECT_EQ(assigned.GetText(), "first");
    EXPECT_EQ(assigned.GetEventType(), 7);
    EXPECT_EQ(assigned.GetEventResult(), 0);

    assigned = static_cast<const TextParam&>(assigned);  // self-assignment keeps the value
    EXPECT_EQ(assigned.GetText(), "first");

    // Copying through the base keeps the derived private part.
    std::shared_ptr<Datahub::BaseParam> base = std::make_shared<TextParam>(original);
    Datahub::BaseParam sliced(*base);
    EXPECT_EQ(sliced.GetEventType(), 7);
    EXPECT_EQ(std::static_pointer_cast<TextParam>(base)->GetText(), "changed again");
}

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
