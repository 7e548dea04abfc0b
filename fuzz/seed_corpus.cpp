// Writes the seed corpus of the fuzz harnesses: a few well-formed inputs of
// every kind and a few just beside the limits, in the harnesses' input
// formats. The corpus in fuzz/corpus was made with it:
//   kestrel-fuzz-seeds fuzz/corpus
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "zrsdk/zrsdk_types.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

template <class Record>
Bytes BytesOf(const Record& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(p, p + sizeof(record));
}

template <std::size_t N>
void Put(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The records without padding are written as braced lists: the bytes are
// those of the fields, zero where a text ends.
Bytes LockStatus() { return BytesOf(ZRSDK_LOCKSTATUS_CHANGED_NOTIFY{1, "ch-0001", "operator", "20240102030405"}); }

// Group, subscription, object type, box, object.
Bytes SmartTrack() { return BytesOf(ZRSDK_SMARTTRACKOBJECT_NOTIFY{"ch-0003", 7, 11, 0, {}, 1234}); }

Bytes Face(uint32_t count, std::size_t records) {
    ZRSDK_FACE_INFO_NOTIFY header{};
    Put(header.text1, "face-device");
    Put(header.text8, "snapshot");
    header.values[4] = 3;
    std::memcpy(header.time1, "20240102030405", 14);
    std::memcpy(header.time2, "19691231235959", 14);
    header.count = count;
    Bytes out = BytesOf(header);
    for (std::size_t i = 0; i < records; ++i) {
        ZRSDK_FACE_INFO_ITEM item{};
        Put(item.text10, "person");
        Put(item.text1, "library");
        item.realValue = 0.75f;
        item.flag = 1;
        item.value4 = static_cast<int32_t>(i);
        out = Cat({out, BytesOf(item)});
    }
    return out;
}

// The record, then its items; the harnesses set the pointer.
Bytes Traffic(uint32_t items) {
    ZRSDK_TRAFFIC_INFO info{};
    Put(info.text1, "plate");
    Put(info.text2, "direction");
    Put(info.text3, "device");
    info.value64 = -12.9;
    info.value1 = 3;
    info.itemCount = items;
    Bytes out = BytesOf(info);
    for (uint32_t i = 0; i < items; ++i)
        out = Cat({out, BytesOf(ZRSDK_TRAFFIC_ITEM{static_cast<int32_t>(i + 1), {}, "lane", 8, {}})});
    return out;
}

// text2 comes first.
Bytes Ims() { return BytesOf(ZRSDK_IMS_ALARM{"area", "ims-1", "", "", "", "last"}); }

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes TextWithNul(const std::string& text) { return Cat({Text(text), Bytes{0}}); }

Bytes Truncated(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

void LoginEvents(const fs::path& dir) {
    // Byte 0 modulo 10 indexes 40, 50, 52, 167, 206, 212, 213, 41, 0, 168
    // (traffic items are null when (byte 0 / 16) % 4 is 0); byte 1 is the
    // result (0 below 240), 255 a null payload.
    Write(dir, "lock-status", Cat({{0, 0}, LockStatus()}));
    Write(dir, "lock-status-short", Cat({{0, 0}, Truncated(LockStatus(), 343)}));
    Write(dir, "lock-status-refused", Cat({{0, 241}, LockStatus()}));
    Write(dir, "smart-track", Cat({{1, 0}, SmartTrack()}));
    Write(dir, "smart-track-long", Cat({{1, 0}, SmartTrack(), {0}}));
    Write(dir, "face-one", Cat({{2, 0}, Face(1, 1)}));
    Write(dir, "face-two", Cat({{2, 0}, Face(2, 2)}));
    Write(dir, "face-bad-size", Cat({{2, 0}, Face(1, 1), {0}}));
    Write(dir, "traffic-items", Cat({{23, 0}, Traffic(2)}));
    Write(dir, "traffic-null-items", Cat({{3, 0}, Traffic(0)}));
    Write(dir, "ims", Cat({{4, 0}, Ims()}));
    Write(dir, "ims-short", Cat({{4, 0}, Truncated(Ims(), 300)}));
    Write(dir, "real-alarm", Cat({{5, 0}, TextWithNul("{\"alarm\":\"speeding\"}")}));
    Write(dir, "score-alarm-no-nul", Cat({{6, 0}, Text("score 87")}));
    Write(dir, "null-payload", Cat({{5, 255}, Text("0123")}));
    Write(dir, "unhandled-type", Cat({{7, 0}, LockStatus()}));
}

void TrafficDecode(const fs::path& dir) {
    // Byte 0: 167, 206, 212, 213 by its value modulo 4; traffic items are
    // null when (byte 0 / 4) % 4 is 0.
    Write(dir, "traffic-items", Cat({{4}, Traffic(3)}));
    Write(dir, "traffic-null-items", Cat({{0}, Traffic(1)}));
    Write(dir, "traffic-short", Cat({{4}, Truncated(Traffic(0), 863)}));
    Write(dir, "ims", Cat({{1}, Ims()}));
    Write(dir, "ims-short", Cat({{1}, Truncated(Ims(), 270)}));
    Write(dir, "real-alarm", Cat({{2}, TextWithNul("{\"alarm\":\"red light\"}")}));
    Write(dir, "score-alarm", Cat({{3}, Text("score without end")}));
}

void FaceDecode(const fs::path& dir) {
    Write(dir, "one-item", Face(1, 1));
    Write(dir, "no-items", Face(0, 1));
    Write(dir, "count-beyond-records", Face(1000, 2));
    Write(dir, "header-only", Face(1, 0));
}

void RestAnswers(const fs::path& dir) {
    // Byte 0: the operation by its value modulo 5 (add, delete, query,
    // restart, idle motion); (byte 0 / 5) % 4 and (byte 0 / 20) % 4 pick
    // the HTTP status and the server code.
    const std::string list = "{\"configList\":[{\"idleTime\":5,\"type\":1,\"cover\":0,\"id\":7,\"presetIndex\":3,"
                             "\"beginTime\":\"08:00:00\",\"endTime\":\"09:00:00\"},{\"presetIndex\":4}],"
                             "\"status\":1,\"channelSn\":\"sn-1\",\"id\":9,\"channelCode\":\"ch-0001\"}";
    Write(dir, "add-id", Cat({{0}, Text("{\"id\":42}")}));
    Write(dir, "add-id-wrong-type", Cat({{0}, Text("{\"id\":\"42\"}")}));
    Write(dir, "delete-null", Cat({{1}, Text("null")}));
    Write(dir, "query-list", Cat({{2}, Text(list)}));
    Write(dir, "query-list-server-error", Cat({{2 + 5 * 2 + 20 * 2}, Text(list)}));
    Write(dir, "query-not-object", Cat({{2}, Text("[1,2,3]")}));
    Write(dir, "query-broken", Cat({{2}, Text("{\"configList\":[{\"id\":")}));
    Write(dir, "restart-empty", Cat({{3}, Text("{}")}));
    Write(dir, "idle-motion-extra", Cat({{4}, Text("{\"_nouse\":1,\"hasFieldOf_nouse\":true}")}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const fs::path root(argv[1]);
    LoginEvents(root / "login_event");
    TrafficDecode(root / "traffic_decode");
    FaceDecode(root / "face_decode");
    RestAnswers(root / "rest_answer");
    return 0;
}
