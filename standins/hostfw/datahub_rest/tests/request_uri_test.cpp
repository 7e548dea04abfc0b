// Joining a request's path with its path and query parameters. (A text path
// parameter after a trailing "/", a signed id and one query number: the
// REST message tests.)
#include <gtest/gtest.h>

#include "datahub/rest.h"
#include "rest_objects.h"

namespace {

using namespace Datahub;
using resttest::Descriptor;
using resttest::RequestObject;
using resttest::Write;

std::string Uri(RequestObject& r) {
    return r.get()->uri ? r.get()->uri : "<null>";
}

TEST(RequestUri, EncodesJoinsFillsPlaceholdersAndLeavesAbsentParametersOut) {
    Descriptor path = resttest::OneMember(META_TYPE_STRING, "channelCode");
    Descriptor query(metainfo_create(12));
    metainfo_add_member(query.get(), 0, META_TYPE_INT32, "type", 0);
    metainfo_add_member(query.get(), 4, META_TYPE_STRING, "note x", 0);  // unaligned on purpose
    Descriptor empty = resttest::EmptyBody();

    // Every present query member, joined with "&"; a null text is left out.
    RequestObject r("GET", "/psib/ptz/presetTask/", empty.get(), 8, path.get(), 8, query.get(), 12);
    resttest::SetText(r.Path(), 0, "ch 1/\xC3\xA4?&=%~._-");
    Write<std::int32_t>(r.Query(), 0, -3);
    r.Build();
    EXPECT_EQ("/psib/ptz/presetTask/ch%201%2F%C3%A4%3F%26%3D%25~._-?type=-3", Uri(r));
    resttest::SetText(r.Query(), 4, "a b&c");
    resttest::SetText(r.Path(), 0, nullptr);
    ASSERT_EQ(0, kmp_request_build_uri(r.get(), r.Path(), path.get(), r.Query(), query.get()));
    EXPECT_EQ("/psib/ptz/presetTask/?type=-3&note%20x=a%20b%26c", Uri(r)) << "the old uri is replaced";

    // Without a trailing "/" a segment is started; a placeholder is filled in place.
    Descriptor id = resttest::OneMember(META_TYPE_INT64, "id");
    RequestObject plain("DELETE", "/tasks", empty.get(), 8, id.get(), 8);
    Write<std::int64_t>(plain.Path(), 0, 9000000000LL);
    plain.Build();
    EXPECT_EQ("/tasks/9000000000", Uri(plain));
    RequestObject placeholder("DELETE", "/tasks/{id}/items", empty.get(), 8, id.get(), 8);
    Write<std::int64_t>(placeholder.Path(), 0, 12);
    placeholder.Build();
    EXPECT_EQ("/tasks/12/items", Uri(placeholder));

    EXPECT_EQ(-1, kmp_request_build_uri(nullptr, nullptr, nullptr, nullptr, nullptr));
    RequestObject noPath("GET", nullptr, empty.get(), 8);
    EXPECT_EQ(-1, kmp_request_build_uri(noPath.get(), nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
