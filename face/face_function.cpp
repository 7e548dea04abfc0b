#include "face/face_function.h"

#include "kestrel/face_function_param.h"
#include "tasks/queue_keys.h"
#include "tasks/raw_reader.h"
#include "tasks/time_text.h"

namespace Kestrel {

namespace {
// Layout of the face record of the platform.
constexpr std::size_t kHeaderSize = 1372;
constexpr std::size_t kItemSize = 1576;
constexpr std::size_t kMinimumSize = kHeaderSize + kItemSize;  // 2948
constexpr std::size_t kCountOffset = 1368;

FaceInfoItem DecodeItem(const CRawReader& raw, std::size_t at) {
    FaceInfoItemBase base;
    base.text5 = raw.Text(at + 0, 50);
    base.text1 = raw.Text(at + 562, 258);
    base.value1 = raw.I32(at + 820);
    base.text2 = raw.Text(at + 824, 20);
    base.value2 = raw.I32(at + 844);
    base.value3 = raw.I32(at + 848);
    base.text3 = raw.Text(at + 852, 256);
    base.text4 = raw.Text(at + 1108, 52);
    base.text6 = raw.Text(at + 1165, 16);
    base.text7 = raw.Text(at + 1181, 103);
    base.value4 = raw.I32(at + 1284);
    base.text8 = raw.Text(at + 1288, 32);
    base.text9 = raw.Text(at + 1320, 256);

    FaceInfoItem item;
    item.text10 = raw.Text(at + 50, 256);
    item.text11 = raw.Text(at + 306, 256);
    item.realValue = raw.Value<float>(at + 1160);
    item.flag = raw.Flag(at + 1164);
    static_cast<FaceInfoItemBase&>(item) = base;
    return item;
}
}  // namespace

CFaceFunction::~CFaceFunction() = default;

bool CFaceFunction::Init(Datahub::CInterfaceSetManager*) { return true; }

void CFaceFunction::UnInit() {}

int64_t CFaceFunction::ParseTime(const char* text) { return ParseLocalTimeText(text); }

FaceInfoNotify CFaceFunction::Decode(const void* data, unsigned int size) {
    const CRawReader raw(data, size);
    FaceInfoNotify info;
    info.text1 = raw.Text(0, 64);
    info.text2 = raw.Text(64, 64);
    info.text3 = raw.Text(128, 64);
    info.text4 = raw.Text(192, 64);
    info.value1 = raw.I32(256);
    info.value2 = raw.I32(260);
    info.text5 = raw.Text(264, 256);
    info.text6 = raw.Text(520, 256);
    info.flag = raw.Flag(776);
    info.text7 = raw.Text(777, 256);
    info.text8 = raw.Text(1033, 259);
    int32_t* values[] = {&info.value3, &info.value4, &info.value5,  &info.value6,
                         &info.value7, &info.value8, &info.value9,  &info.value10,
                         &info.value11, &info.value12, &info.value13};
    for (std::size_t i = 0; i < 11; ++i) *values[i] = raw.I32(1292 + 4 * i);
    info.time1 = ParseTime(raw.Text(1336, 15).c_str());
    info.time2 = ParseTime(raw.Text(1351, 15).c_str());

    const std::size_t present = raw.Size() >= kHeaderSize ? (raw.Size() - kHeaderSize) / kItemSize : 0;
    std::size_t count = raw.U32(kCountOffset);
    if (count > present) count = present;
    info.items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) info.items.push_back(DecodeItem(raw, kHeaderSize + i * kItemSize));
    return info;
}

void CFaceFunction::OnFaceInfoNotify(const void* data, unsigned int size) {
    if (data == nullptr || size < kMinimumSize || (size - kMinimumSize) % kItemSize != 0) return;
    PostRequest(QueueKey::kFace, &CFaceFunction::HandleFaceInfoNotify, Decode(data, size));
}

void CFaceFunction::HandleFaceInfoNotify(WeakPtr weak, const FaceInfoNotify& info) {
    boost::shared_ptr<CFaceFunction> self = weak.lock();
    if (!self) return;
    auto param = std::make_shared<CFaceFunctionParam>(CFaceFunctionParam::FACE_EVENT_FACE_INFO, 0);
    param->SetFaceInfoNotify(info);
    self->PostResultToUI(param);
}

}  // namespace Kestrel
