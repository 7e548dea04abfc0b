// Joining a request's path with its path and query parameters.
#include <gtest/gtest.h>

#include "datahub/rest.h"
#include "rest_objects.h"

namespace {

using namespace Datahub;
using resttest::RequestObject;
using resttest::Write;

using resttest::Descriptor;

std::string Uri(RequestObject& r) {
    return r.get()->uri ? r.get()->uri : "<null>";
}

TEST(RequestUri, AppendsThePercentEncodedPathParameterAndTheQuery) {
    Descriptor path = resttest::OneMember(META_TYPE_STRING, "channelCode");
    Descriptor query(metainfo_create(12));
    metainfo_add_member(query.get(), 0, META_TYPE_INT32, "type", 0);
    metainfo_add_member(query.get(), 4, META_TYPE_STRING, "note x", 0);  // unaligned on purpose
    Descriptor body = resttest::EmptyBody();

    RequestObject r("GET", "/psib/ptz/presetTask/", body.get(), 8, path.get(), 8, query.get(), 12);
    resttest::SetText(r.Path(), 0, "ch 1/\xC3\xA4?&=%~._-");
    Write<std::int32_t>(r.Query(), 0, -3);
    r.Build();
    EXPECT_EQ("/psib/ptz/presetTask/ch%201%2F%C3%A4%3F%26%3D%25~._-?type=-3", Uri(r));
    EXPECT_STREQ("{}", r.get()->jsonBody);

    // Every present query member, joined with "&"; slot 4 is replaced.
    resttest::SetText(r.Query(), 4, "a b&c");
    ASSERT_EQ(0, kmp_request_build_uri(r.get(), r.Path(), path.get(), r.Query(), query.get()));
    EXPECT_EQ("/psib/ptz/presetTask/ch%201%2F%C3%A4%3F%26%3D%25~._-?type=-3&note%20x=a%20b%26c", Uri(r));
}

TEST(RequestUri, JoinsIdsPlaceholdersAndLeavesAbsentParametersOut) {
    Descriptor idDesc = resttest::OneMember(META_TYPE_INT64, "id");
    Descriptor emptyDesc = resttest::EmptyBody();
    const MetaInfo* id = idDesc.get();
    const MetaInfo* empty = emptyDesc.get();
    {
        // Without a trailing "/" a segment is started; a placeholder is filled in place.
        RequestObject plain("DELETE", "/tasks", empty, 8, id, 8);
        Write<std::int64_t>(plain.Path(), 0, 9000000000LL);
        plain.Build();
        EXPECT_EQ("/tasks/9000000000", Uri(plain));
        RequestObject placeholder("DELETE", "/tasks/{id}/items", empty, 8, id, 8);
        Write<std::int64_t>(placeholder.Path(), 0, 12);
        placeholder.Build();
        EXPECT_EQ("/tasks/12/items", Uri(placeholder));
    }
    {
        Descriptor code = resttest::OneMember(META_TYPE_STRING, "deviceCode");
        RequestObject absent("PUT", "/videoService/devices/restart/", empty, 8, code.get(), 8, nullptr, 0);
        absent.Build();
        EXPECT_EQ("/videoService/devices/restart/", Uri(absent)) << "a null text is left out";
    }
    EXPECT_EQ(-1, kmp_request_build_uri(nullptr, nullptr, nullptr, nullptr, nullptr));
    RequestObject noPath("GET", nullptr, empty, 8);
    EXPECT_EQ(-1, kmp_request_build_uri(noPath.get(), nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
