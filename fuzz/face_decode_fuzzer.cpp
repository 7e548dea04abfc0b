// The face worker's decoder: any bytes of any size (the intake lets only
// 2948 + k * 1576 through, but the decoder must not depend on it), compared
// field by field with the harness's own reading of the record. The input is
// already a buffer of exactly its size, so AddressSanitizer catches any read
// past its end.
//
// Checked besides the fields: the items are those the header counts, never
// more than the records the payload holds; times are never negative.
#include <cstddef>
#include <cstdint>
#include <string>

#include "face/face_function.h"
#include "fuzz_host.h"
#include "zrsdk/zrsdk_types.h"

namespace {

using kestrel_fuzz::FieldValue;

void CheckItem(const Kestrel::FaceInfoItem& item, const uint8_t* p, std::size_t n) {
    using I = ZRSDK_FACE_INFO_ITEM;
    FUZZ_CHECK(item.text1 == TEXT_OF(I, text1, p, n));
    FUZZ_CHECK(item.text2 == TEXT_OF(I, text2, p, n));
    FUZZ_CHECK(item.text3 == TEXT_OF(I, text3, p, n));
    FUZZ_CHECK(item.text4 == TEXT_OF(I, text4, p, n));
    FUZZ_CHECK(item.text5 == TEXT_OF(I, text5, p, n));
    FUZZ_CHECK(item.text6 == TEXT_OF(I, text6, p, n));
    FUZZ_CHECK(item.text7 == TEXT_OF(I, text7, p, n));
    FUZZ_CHECK(item.text8 == TEXT_OF(I, text8, p, n));
    FUZZ_CHECK(item.text9 == TEXT_OF(I, text9, p, n));
    FUZZ_CHECK(item.text10 == TEXT_OF(I, text10, p, n));
    FUZZ_CHECK(item.text11 == TEXT_OF(I, text11, p, n));
    FUZZ_CHECK(item.value1 == VALUE_OF(int32_t, I, value1, p, n));
    FUZZ_CHECK(item.value2 == VALUE_OF(int32_t, I, value2, p, n));
    FUZZ_CHECK(item.value3 == VALUE_OF(int32_t, I, value3, p, n));
    FUZZ_CHECK(item.value4 == VALUE_OF(int32_t, I, value4, p, n));
    FUZZ_CHECK(item.flag == (VALUE_OF(uint8_t, I, flag, p, n) != 0));
    const float real = VALUE_OF(float, I, realValue, p, n);
    FUZZ_CHECK(item.realValue == real || (real != real && item.realValue != item.realValue));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using H = ZRSDK_FACE_INFO_NOTIFY;
    const Kestrel::FaceInfoNotify info = Kestrel::CFaceFunction::Decode(data, static_cast<unsigned int>(size));

    FUZZ_CHECK(info.text1 == TEXT_OF(H, text1, data, size));
    FUZZ_CHECK(info.text2 == TEXT_OF(H, text2, data, size));
    FUZZ_CHECK(info.text3 == TEXT_OF(H, text3, data, size));
    FUZZ_CHECK(info.text4 == TEXT_OF(H, text4, data, size));
    FUZZ_CHECK(info.text5 == TEXT_OF(H, text5, data, size));
    FUZZ_CHECK(info.text6 == TEXT_OF(H, text6, data, size));
    FUZZ_CHECK(info.text7 == TEXT_OF(H, text7, data, size));
    FUZZ_CHECK(info.text8 == TEXT_OF(H, text8, data, size));
    FUZZ_CHECK(info.value1 == VALUE_OF(int32_t, H, value1, data, size));
    FUZZ_CHECK(info.value2 == VALUE_OF(int32_t, H, value2, data, size));
    FUZZ_CHECK(info.flag == (VALUE_OF(uint8_t, H, flag, data, size) != 0));
    const int32_t values[] = {info.value3, info.value4, info.value5,  info.value6,  info.value7, info.value8,
                              info.value9, info.value10, info.value11, info.value12, info.value13};
    for (std::size_t i = 0; i < 11; ++i)
        FUZZ_CHECK(values[i] == FieldValue<int32_t>(data, size, offsetof(H, values) + 4 * i));
    FUZZ_CHECK(info.time1 >= 0 && info.time2 >= 0);
    FUZZ_CHECK(info.time1 == Kestrel::CFaceFunction::ParseTime(TEXT_OF(H, time1, data, size).c_str()));
    FUZZ_CHECK(info.time2 == Kestrel::CFaceFunction::ParseTime(TEXT_OF(H, time2, data, size).c_str()));

    const std::size_t present = size >= sizeof(H) ? (size - sizeof(H)) / sizeof(ZRSDK_FACE_INFO_ITEM) : 0;
    const std::size_t counted = VALUE_OF(uint32_t, H, count, data, size);
    FUZZ_CHECK(info.items.size() == (counted < present ? counted : present));
    for (std::size_t i = 0; i < info.items.size(); ++i)
        CheckItem(info.items[i], data + sizeof(H) + i * sizeof(ZRSDK_FACE_INFO_ITEM), sizeof(ZRSDK_FACE_INFO_ITEM));
    return 0;
}
