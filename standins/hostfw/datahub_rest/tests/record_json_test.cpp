// Described records: JSON built from them, parsed into them, copied, cleared.
#include <gtest/gtest.h>

#include <memory>

#include "datahub/rest.h"
#include "rest_objects.h"

namespace {

using namespace Datahub;
using resttest::Read;
using resttest::Text;
using resttest::Write;

// Outer record, 64 bytes; its list elements, 24 bytes.
constexpr std::size_t kCount = 0, kFlag = 4, kTotal = 8, kName = 16, kItems = 24, kHasLevel = 56, kLevel = 60;
constexpr std::size_t kRecordSize = 64;
constexpr std::size_t kIndex = 0, kLabel = 8, kBig = 16, kItemSize = 24;

using resttest::Descriptor;

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

void AddItem(unsigned char* record, int index, const char* label, std::int64_t big) {
    void* space = free_buffer_append(record + kItems, nullptr, kItemSize);
    ASSERT_NE(nullptr, space);
    auto* item = static_cast<unsigned char*>(space);
    Write<std::int32_t>(item, kIndex, index);
    Write<const char*>(item, kLabel, const_string_new(label));
    Write<std::int64_t>(item, kBig, big);
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
    resttest::ResponseObject response(nullptr, 0);
    response->dataJson = const_string_new(data);
    return kmp_response_parse(response.get(), record, desc);
}

TEST(RecordJson, BuildsMembersInDescriptorOrderLeavingAbsentOnesOut) {
    Descriptor desc = MakeDescriptor();
    Record r(desc.get());
    FillSample(r.bytes);
    EXPECT_EQ(
        "{\"count\":7,\"flag\":true,\"total\":-9000000000,\"name\":\"a \\\"q\\\" \xC3\xA9\","
        "\"items\":[{\"index\":1,\"label\":\"x\",\"big\":5},{\"index\":2,\"big\":-1}],\"level\":3}",
        Build(r.bytes, desc.get()));

    // An unset presence flag hides its member; null texts and empty lists.
    Write<std::int32_t>(r.bytes, kHasLevel, 0);
    resttest::SetText(r.bytes, kName, nullptr);
    object_clear(r.bytes + 0, desc.get());
    EXPECT_EQ("{\"count\":7,\"flag\":true,\"total\":-9000000000,\"items\":[]}", Build(r.bytes, desc.get()));

    // A message without members.
    Descriptor empty(metainfo_create(8));
    metainfo_add_member(empty.get(), 0, META_TYPE_BOOL, "hasFieldOf_nouse", 0);
    metainfo_add_member(empty.get(), 4, META_TYPE_INT32, "_nouse", 0);
    unsigned char none[8] = {};
    EXPECT_EQ("{}", Build(none, empty.get()));
    EXPECT_EQ(nullptr, vsl_request_build(nullptr, empty.get()));
}

TEST(RecordJson, ParsesWhatItBuilt) {
    Descriptor desc = MakeDescriptor();
    Record source(desc.get());
    FillSample(source.bytes);
    const std::string json = Build(source.bytes, desc.get());

    Record parsed(desc.get());
    Write(parsed.bytes, kName, const_string_new("left over"));  // replaced, not leaked
    ASSERT_EQ(0, ParseInto(json.c_str(), parsed.bytes, desc.get()));
    EXPECT_EQ(7, Read<std::int32_t>(parsed.bytes, kCount));
    EXPECT_EQ(1, Read<std::int32_t>(parsed.bytes, kFlag));
    EXPECT_EQ(-9000000000LL, Read<std::int64_t>(parsed.bytes, kTotal));
    EXPECT_EQ("a \"q\" \xC3\xA9", Text(parsed.bytes, kName));
    EXPECT_EQ(3, Read<std::int32_t>(parsed.bytes, kLevel));
    EXPECT_EQ(1, Read<std::int32_t>(parsed.bytes, kHasLevel));
    const auto items = Read<FreeBuffer>(parsed.bytes, kItems);
    ASSERT_EQ(2, items.count);
    const auto* first = static_cast<const unsigned char*>(items.data);
    const auto* second = first + kItemSize;
    EXPECT_EQ(1, Read<std::int32_t>(first, kIndex));
    EXPECT_EQ("x", Text(first, kLabel));
    EXPECT_EQ(5, Read<std::int64_t>(first, kBig));
    EXPECT_EQ(2, Read<std::int32_t>(second, kIndex));
    EXPECT_EQ("<null>", Text(second, kLabel));
    EXPECT_EQ(-1, Read<std::int64_t>(second, kBig));
}

TEST(RecordJson, ParseFillsWhatFitsAndReportsTheRest) {
    Descriptor desc = MakeDescriptor();
    Record r(desc.get());
    EXPECT_EQ(-3, ParseInto("{\"count\":\"7\",\"flag\":2,\"total\":1000.0,\"name\":5,"
                            "\"items\":[{\"index\":4},\"stray\",{\"index\":2147483648,\"label\":\"y\"}],"
                            "\"level\":null}",
                            r.bytes, desc.get()));
    EXPECT_EQ(0, Read<std::int32_t>(r.bytes, kCount));
    EXPECT_EQ(1, Read<std::int32_t>(r.bytes, kFlag));
    EXPECT_EQ(1000, Read<std::int64_t>(r.bytes, kTotal));
    EXPECT_EQ("<null>", Text(r.bytes, kName));
    EXPECT_EQ(0, Read<std::int32_t>(r.bytes, kHasLevel));
    const auto items = Read<FreeBuffer>(r.bytes, kItems);
    ASSERT_EQ(2, items.count);
    const auto* second = static_cast<const unsigned char*>(items.data) + kItemSize;
    EXPECT_EQ(0, Read<std::int32_t>(second, kIndex));
    EXPECT_EQ("y", Text(second, kLabel));

    EXPECT_EQ(-3, ParseInto("{\"total\":9223372036854775808}", r.bytes, desc.get()));
    EXPECT_EQ(-2, ParseInto("[1,2]", r.bytes, desc.get()));
    EXPECT_EQ(-2, ParseInto("{\"count\":", r.bytes, desc.get()));
    EXPECT_EQ(0, ParseInto("{\"count\":1}", r.bytes, desc.get()));
    EXPECT_EQ(0, ParseInto("null", r.bytes, desc.get()));
    EXPECT_EQ(0, Read<std::int32_t>(r.bytes, kCount)) << "a parse starts from an empty record";
    EXPECT_EQ(-1, kmp_response_parse(nullptr, r.bytes, desc.get()));
}

TEST(RecordMemory, CopyIsDeepAndClearFreesEverything) {
    Descriptor desc = MakeDescriptor();
    Record source(desc.get());
    FillSample(source.bytes);
    Record copy(desc.get());
    ASSERT_EQ(0, object_copy(copy.bytes, source.bytes, desc.get()));
    EXPECT_EQ(Build(source.bytes, desc.get()), Build(copy.bytes, desc.get()));
    EXPECT_NE(Read<const char*>(source.bytes, kName), Read<const char*>(copy.bytes, kName));
    EXPECT_NE(Read<FreeBuffer>(source.bytes, kItems).data, Read<FreeBuffer>(copy.bytes, kItems).data);

    object_clear(source.bytes, desc.get());
    EXPECT_EQ(nullptr, Read<const char*>(source.bytes, kName));
    EXPECT_EQ(0, Read<FreeBuffer>(source.bytes, kItems).count);
    EXPECT_EQ(7, Read<std::int32_t>(source.bytes, kCount)) << "integers stay";
    const auto items = Read<FreeBuffer>(copy.bytes, kItems);
    ASSERT_EQ(2, items.count);
    EXPECT_EQ("x", Text(static_cast<const unsigned char*>(items.data), kLabel));
    EXPECT_EQ(-1, object_copy(nullptr, source.bytes, desc.get()));
}

TEST(RecordMemory, ListsGrowByOneElementPerAppend) {
    unsigned char list[sizeof(FreeBuffer)];
    std::memset(list, 0xAB, sizeof list);
    free_buffer_init(list);
    EXPECT_EQ(0, Read<std::int32_t>(list, 24));
    for (int i = 0; i < 100; ++i) {
        const unsigned char pattern[40] = {static_cast<unsigned char>(i)};
        void* space = free_buffer_append(list, i % 2 ? pattern : nullptr, sizeof pattern);
        ASSERT_NE(nullptr, space);
        if (i % 2 == 0) static_cast<unsigned char*>(space)[0] = static_cast<unsigned char>(i);
        EXPECT_EQ(0, static_cast<unsigned char*>(space)[39]) << "new space is zero or the data given";
    }
    const auto buffer = Read<FreeBuffer>(list, 0);
    EXPECT_EQ(100, Read<std::int32_t>(list, 24));
    EXPECT_EQ(4000u, buffer.bytes);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(i, static_cast<unsigned char*>(buffer.data)[i * 40]);
    EXPECT_EQ(nullptr, free_buffer_append(list, nullptr, 0));
    EXPECT_EQ(nullptr, free_buffer_append(nullptr, nullptr, 8));
    std::free(buffer.data);
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

}  // namespace
