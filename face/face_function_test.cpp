// The face record decoded field by field: the test lays out every header and
// item field at its offset, each text filling its whole field, and reads
// each one back from the decoded value.
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "face/face_function.h"
#include "time_zone.h"

namespace Kestrel {
namespace {

template <class Record>
struct TextField {
    std::size_t offset;
    std::size_t width;
    std::string Record::*member;
};
template <class Record>
struct IntField {
    std::size_t offset;
    int32_t Record::*member;
};

const TextField<FaceInfoNotify> kHeaderTexts[] = {
    {0, 64, &FaceInfoNotify::text1},    {64, 64, &FaceInfoNotify::text2},   {128, 64, &FaceInfoNotify::text3},
    {192, 64, &FaceInfoNotify::text4},  {264, 256, &FaceInfoNotify::text5}, {520, 256, &FaceInfoNotify::text6},
    {777, 256, &FaceInfoNotify::text7}, {1033, 259, &FaceInfoNotify::text8},
};
const IntField<FaceInfoNotify> kHeaderInts[] = {
    {256, &FaceInfoNotify::value1},   {260, &FaceInfoNotify::value2},   {1292, &FaceInfoNotify::value3},
    {1296, &FaceInfoNotify::value4},  {1300, &FaceInfoNotify::value5},  {1304, &FaceInfoNotify::value6},
    {1308, &FaceInfoNotify::value7},  {1312, &FaceInfoNotify::value8},  {1316, &FaceInfoNotify::value9},
    {1320, &FaceInfoNotify::value10}, {1324, &FaceInfoNotify::value11}, {1328, &FaceInfoNotify::value12},
    {1332, &FaceInfoNotify::value13},
};
const TextField<FaceInfoItem> kItemTexts[] = {
    {0, 50, &FaceInfoItem::text5},     {50, 256, &FaceInfoItem::text10},  {306, 256, &FaceInfoItem::text11},
    {562, 258, &FaceInfoItem::text1},  {824, 20, &FaceInfoItem::text2},   {852, 256, &FaceInfoItem::text3},
    {1108, 52, &FaceInfoItem::text4},  {1165, 16, &FaceInfoItem::text6},  {1181, 103, &FaceInfoItem::text7},
    {1288, 32, &FaceInfoItem::text8},  {1320, 256, &FaceInfoItem::text9},
};
const IntField<FaceInfoItem> kItemInts[] = {
    {820, &FaceInfoItem::value1}, {844, &FaceInfoItem::value2}, {848, &FaceInfoItem::value3},
    {1284, &FaceInfoItem::value4},
};

constexpr std::size_t kHeader = 1372;
constexpr std::size_t kItem = 1576;

void PutInt(std::vector<unsigned char>& raw, std::size_t at, int32_t value) {
    std::memcpy(raw.data() + at, &value, sizeof value);
}
// Distinct values: header fields from 100, item k's from 1000 * (k + 1);
// every text fills its field without a terminator.
char Letter(std::size_t field, std::size_t item) { return static_cast<char>('A' + (field + 7 * item) % 26); }

TEST(FaceDecodeTest, EveryHeaderAndItemFieldComesFromItsOffset) {
    const kestrel_test::ScopedTimeZone utc("UTC0");

    std::vector<unsigned char> raw(kHeader + 2 * kItem, 0);
    for (std::size_t f = 0; f < std::size(kHeaderTexts); ++f)
        std::memset(raw.data() + kHeaderTexts[f].offset, Letter(f, 9), kHeaderTexts[f].width);
    for (std::size_t f = 0; f < std::size(kHeaderInts); ++f) PutInt(raw, kHeaderInts[f].offset, 100 + int32_t(f));
    PutInt(raw, 1308, 0);  // value7: the payload's 0, not the default 1
    raw[776] = 1;
    std::memcpy(raw.data() + 1336, "20240102030405", 14);
    std::memcpy(raw.data() + 1351, "19700101000010", 14);
    PutInt(raw, 1368, 2);
    for (std::size_t k = 0; k < 2; ++k) {
        unsigned char* item = raw.data() + kHeader + k * kItem;
        for (std::size_t f = 0; f < std::size(kItemTexts); ++f)
            std::memset(item + kItemTexts[f].offset, Letter(f, k), kItemTexts[f].width);
        for (std::size_t f = 0; f < std::size(kItemInts); ++f)
            PutInt(raw, kHeader + k * kItem + kItemInts[f].offset, int32_t(1000 * (k + 1) + f));
        const float real = 0.5f + float(k);
        std::memcpy(item + 1160, &real, sizeof real);
        item[1164] = static_cast<unsigned char>(k == 0 ? 2 : 0);
    }

    const FaceInfoNotify info = CFaceFunction::Decode(raw.data(), static_cast<unsigned int>(raw.size()));
    for (std::size_t f = 0; f < std::size(kHeaderTexts); ++f)
        EXPECT_EQ(info.*kHeaderTexts[f].member, std::string(kHeaderTexts[f].width, Letter(f, 9))) << "text " << f;
    for (std::size_t f = 0; f < std::size(kHeaderInts); ++f)
        EXPECT_EQ(info.*kHeaderInts[f].member, f == 6 ? 0 : 100 + int32_t(f)) << "int at " << kHeaderInts[f].offset;
    EXPECT_EQ(std::make_tuple(info.flag, info.time1, info.time2), std::make_tuple(true, 1704164645, 10));
    ASSERT_EQ(info.items.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const FaceInfoItem& item = info.items[k];
        for (std::size_t f = 0; f < std::size(kItemTexts); ++f)
            EXPECT_EQ(item.*kItemTexts[f].member, std::string(kItemTexts[f].width, Letter(f, k))) << "text " << f;
        for (std::size_t f = 0; f < std::size(kItemInts); ++f)
            EXPECT_EQ(item.*kItemInts[f].member, int32_t(1000 * (k + 1) + f)) << "int at " << kItemInts[f].offset;
        EXPECT_FLOAT_EQ(item.realValue, 0.5f + float(k));
        EXPECT_EQ(item.flag, k == 0);
    }
}

}  // namespace
}  // namespace Kestrel
