// Described records: JSON built from them and parsed into them, a request's
// path joined with its path and query parameters, and their descriptors. (A
// text path parameter after a trailing "/", a signed id and one query number:
// the REST message tests.)
#include <gtest/gtest.h>

#include "datahub/rest.h"
#include "rest_objects.h"

namespace {

using namespace Datahub;
using resttest::Descriptor;
using resttest::Read;
using resttest::RequestObject;
using resttest::Write;

// Outer record, 64 bytes; its list elements, 24 bytes.
constexpr std::size_t kCount = 0, kFlag = 4, kTotal = 8, kName = 16, kItems = 24, kHasLevel = 56, kLevel = 60;
constexpr std::size_t kRecordSize = 64;
constexpr std::size_t kIndex = 0, kLabel = 8, kBig = 16, kItemSize = 24;

Descriptor MakeDescriptor() {
    Descriptor d(metainfo_create(kRecordSize));
    EXPECT_EQ(0, metainfo_add_member(d.get(), kCount, META_TYPE_INT32, "count", 0));
    EXPECT_EQ(0, metainfo_add_member(d.get(), kFlag, META_TYPE_BOOL, "flag", 0));
    EXPECT_EQ(0, metainfo_add_member(d.get(), kTotal, META_TYPE_INT64, "total", 0));
    EXPECT_EQ(0, metainfo_add_member(d.get(), kName, META_TYPE_STRING, "name", 0));
    MetaInfo* item = metainfo_add_child(d.get(), kItems, kItemSize, "items", 1);
    EXPECT_NE(nullptr, item);
    EXPECT_EQ(0, metainfo_add_member(item, kIndex, META_TYPE_INT32, "index", 0));
    EXPECT_EQ(0, metainfo_add_member(item, kLabel, META_TYPE_STRING, "label", 0));
    EXPECT_EQ(0, metainfo_add_member(item, kBig, META_TYPE_INT64, "big", 0));
    // The flag comes after the member it governs: order must not matter.
    EXPECT_EQ(0, metainfo_add_member(d.get(), kLevel, META_TYPE_INT32, "level", 0));
    EXPECT_EQ(0, metainfo_add_member(d.get(), kHasLevel, META_TYPE_BOOL, "hasFieldOf_level", 0));
    return d;
}

struct Record {
    explicit Record(const MetaInfo* d) : desc(d) {}
    ~Record() { object_clear(bytes, desc); }
    unsigned char bytes[kRecordSize] = {};
    const MetaInfo* desc;
};

// Appended as a copy of an element made beforehand.
void AddItem(unsigned char* record, int index, const char* label, std::int64_t big) {
    unsigned char item[kItemSize] = {};
    Write<std::int32_t>(item, kIndex, index);
    Write<const char*>(item, kLabel, const_string_new(label));
    Write<std::int64_t>(item, kBig, big);
    ASSERT_NE(nullptr, free_buffer_append(record + kItems, item, kItemSize));
}

void FillSample(unsigned char* r) {
    Write<std::int32_t>(r, kCount, 7);
    Write<std::int32_t>(r, kFlag, 1);
    Write<std::int64_t>(r, kTotal, -9000000000LL);
    Write(r, kName, const_string_new("a \"q\" \xC3\xA9"));
    free_buffer_init(r + kItems);
    AddItem(r, 1, "x", 5);
    AddItem(r, 2, nullptr, -1);
    Write<std::int32_t>(r, kHasLevel, 1);
    Write<std::int32_t>(r, kLevel, 3);
}

std::string Build(const unsigned char* record, const MetaInfo* desc) {
    char* json = vsl_request_build(record, desc);
    std::string text = json ? json : "<null>";
    const_string_clear(json);
    return text;
}

int ParseInto(const char* data, unsigned char* record, const MetaInfo* desc) {
    resttest::ResponseObject response(nullptr);
    response->dataJson = const_string_new(data);
    return kmp_response_parse(response.get(), record, desc);
}

TEST(RecordJson, BuildsMembersInDescriptorOrderLeavingAbsentOnesOutAndParsesThemBack) {
    Descriptor desc = MakeDescriptor();
    Record r(desc.get());
    FillSample(r.bytes);
    const std::string json = Build(r.bytes, desc.get());
    EXPECT_EQ("{\"count\":7,\"flag\":true,\"total\":-9000000000,\"name\":\"a \\\"q\\\" \xC3\xA9\","
              "\"items\":[{\"index\":1,\"label\":\"x\",\"big\":5},{\"index\":2,\"big\":-1}],\"level\":3}", json);

    // Parsed back into a record that held a text, it builds the same JSON.
    Record parsed(desc.get());
    Write(parsed.bytes, kName, const_string_new("left over"));  // replaced, not leaked
    ASSERT_EQ(0, ParseInto(json.c_str(), parsed.bytes, desc.get()));
    EXPECT_EQ(json, Build(parsed.bytes, desc.get()));

    // An unset presence flag hides its member; null texts and empty lists.
    Write<std::int32_t>(r.bytes, kHasLevel, 0);
    resttest::SetText(r.bytes, kName, nullptr);
    object_clear(r.bytes, desc.get());
    EXPECT_EQ("{\"count\":7,\"flag\":true,\"total\":-9000000000,\"items\":[]}", Build(r.bytes, desc.get()));

    EXPECT_EQ(nullptr, vsl_request_build(nullptr, desc.get()));
}

TEST(RecordJson, ParseFillsWhatFitsAndReportsTheRest) {
    Descriptor desc = MakeDescriptor();
    Record r(desc.get());
    EXPECT_EQ(-3, ParseInto("{\"count\":\"7\",\"flag\":2,\"total\":1000.0,\"name\":5,"
                            "\"items\":[{\"index\":4},\"stray\",{\"index\":2147483648,\"label\":\"y\"}],"
                            "\"level\":null}", r.bytes, desc.get()));
    // What did not fit is left empty, the stray element out; a true is stored as 1.
    EXPECT_EQ("{\"count\":0,\"flag\":true,\"total\":1000,"
              "\"items\":[{\"index\":4,\"big\":0},{\"index\":0,\"label\":\"y\",\"big\":0}]}",
              Build(r.bytes, desc.get()));
    EXPECT_EQ(1, Read<std::int32_t>(r.bytes, kFlag));

    EXPECT_EQ(-3, ParseInto("{\"total\":9223372036854775808}", r.bytes, desc.get()));
    EXPECT_EQ(-2, ParseInto("[1,2]", r.bytes, desc.get()));
    EXPECT_EQ(-2, ParseInto("{\"count\":", r.bytes, desc.get()));
    EXPECT_EQ(0, ParseInto("{\"count\":1}", r.bytes, desc.get()));
    EXPECT_EQ(0, ParseInto("null", r.bytes, desc.get()));
    EXPECT_EQ(0, Read<std::int32_t>(r.bytes, kCount)) << "a parse starts from an empty record";
    EXPECT_EQ(-1, kmp_response_parse(nullptr, r.bytes, desc.get()));
}

TEST(Descriptors, RefuseMembersThatDoNotFit) {
    Descriptor d(metainfo_create(16));
    EXPECT_EQ(0, metainfo_add_member(d.get(), 8, META_TYPE_INT64, "last", 0));
    EXPECT_EQ(-1, metainfo_add_member(d.get(), 12, META_TYPE_INT64, "over", 0));
    EXPECT_EQ(-1, metainfo_add_member(d.get(), 0, 9, "unknown", 0));
    EXPECT_EQ(-1, metainfo_add_member(d.get(), 0, META_TYPE_INT32, nullptr, 0));
    EXPECT_EQ(-1, metainfo_add_member(nullptr, 0, META_TYPE_INT32, "x", 0));
    EXPECT_EQ(nullptr, metainfo_add_child(d.get(), 0, 8, "list", 1)) << "a list needs 32 bytes";
    EXPECT_EQ(nullptr, metainfo_add_child(d.get(), 0, 0, "list", 1));
}

std::string Uri(RequestObject& r) { return r.get()->uri ? r.get()->uri : "<null>"; }

TEST(RequestUri, EncodesJoinsFillsPlaceholdersAndLeavesAbsentParametersOut) {
    Descriptor path = resttest::OneMember(META_TYPE_STRING, "channelCode");
    Descriptor query(metainfo_create(12));
    metainfo_add_member(query.get(), 0, META_TYPE_INT32, "type", 0);
    metainfo_add_member(query.get(), 4, META_TYPE_STRING, "note x", 0);  // unaligned on purpose
    Descriptor empty = resttest::EmptyBody();

    // Every present query member, joined with "&"; a null text is left out.
    RequestObject r("GET", "/psib/ptz/presetTask/", empty.get(), path.get(), query.get());
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
    RequestObject plain("DELETE", "/tasks", empty.get(), id.get());
    Write<std::int64_t>(plain.Path(), 0, 9000000000LL);
    plain.Build();
    EXPECT_EQ("/tasks/9000000000", Uri(plain));
    RequestObject placeholder("DELETE", "/tasks/{id}/items", empty.get(), id.get());
    Write<std::int64_t>(placeholder.Path(), 0, 12);
    placeholder.Build();
    EXPECT_EQ("/tasks/12/items", Uri(placeholder));

    EXPECT_EQ(-1, kmp_request_build_uri(nullptr, nullptr, nullptr, nullptr, nullptr));
    RequestObject noPath("GET", nullptr, empty.get());
    EXPECT_EQ(-1, kmp_request_build_uri(noPath.get(), nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
