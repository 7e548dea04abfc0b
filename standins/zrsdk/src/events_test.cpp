#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

// What the login callback saw, decoded on the event thread while the data
// is valid.
struct Seen {
    int type = 0;
    unsigned int size = 0;
    std::vector<uint8_t> bytes;
    std::vector<ZRSDK_TRAFFIC_ITEM> trafficItems;
};

struct Inbox {
    std::mutex mutex;
    std::vector<Seen> events;
};

void Receive(int type, int result, void* data, unsigned int size, void* user) {
    Seen seen;
    seen.type = type;
    seen.size = size;
    if (data != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        seen.bytes.assign(bytes, bytes + size);
        if (type == EVENT_TRAFFIC_INFO && size >= sizeof(ZRSDK_TRAFFIC_INFO)) {
            const auto* info = static_cast<const ZRSDK_TRAFFIC_INFO*>(data);
            for (uint32_t i = 0; i < info->itemCount; ++i) {
                seen.trafficItems.push_back(info->items[i]);
            }
        }
    }
    auto* inbox = static_cast<Inbox*>(user);
    std::lock_guard<std::mutex> lock(inbox->mutex);
    inbox->events.push_back(std::move(seen));
}

class EventsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, Receive, &inbox), ZRSDK_OK);
    }
    std::vector<Seen> Delivered() {
        EXPECT_TRUE(WaitEventsDelivered());
        std::lock_guard<std::mutex> lock(inbox.mutex);
        return inbox.events;
    }
    Inbox inbox;
};

TEST_F(EventsTest, BuiltRecordsHaveTheSizesAndContentsOfThePlatform) {
    ZRSDK_FACE_INFO_NOTIFY face{};
    SetText(face.text1, "cam-7");
    SetText(face.time1, "20240102030405");
    face.values[10] = 13;
    std::vector<ZRSDK_FACE_INFO_ITEM> faceItems(3);
    for (int i = 0; i < 3; ++i) {
        faceItems[i] = ZRSDK_FACE_INFO_ITEM{};
        faceItems[i].value4 = 100 + i;
        faceItems[i].realValue = 0.5f * i;
    }
    ZRSDK_TRAFFIC_INFO traffic{};
    SetText(traffic.text1, "plate A-123");
    traffic.value64 = -12.75;
    std::vector<ZRSDK_TRAFFIC_ITEM> trafficItems(2);
    trafficItems[0] = trafficItems[1] = ZRSDK_TRAFFIC_ITEM{};
    trafficItems[1].itemValue2 = 99;
    SetText(trafficItems[1].itemText, "lane 2");
    ZRSDK_IMS_ALARM ims{};
    SetText(ims.text6, "last");
    ZRSDK_SMARTTRACKOBJECT_NOTIFY track{};
    SetText(track.code, "ch-0005");
    track.objectId = 31;

    ASSERT_TRUE(Push(session, MakeFaceInfo(face, {})));
    ASSERT_TRUE(Push(session, MakeFaceInfo(face, faceItems)));
    ASSERT_TRUE(Push(session, MakeTrafficInfo(traffic, trafficItems)));
    ASSERT_TRUE(Push(session, MakeTrafficInfo(traffic, {})));
    ASSERT_TRUE(Push(session, MakeTrafficRealAlarm("{\"alarm\":1}")));
    ASSERT_TRUE(Push(session, MakeTrafficScoreAlarm("score 88")));
    ASSERT_TRUE(Push(session, MakeImsAlarm(ims)));
    ASSERT_TRUE(Push(session, MakeSmartTrackObject(track)));

    const auto seen = Delivered();
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[0].type, EVENT_FACE_INFO);
    EXPECT_EQ(seen[0].size, 2948u) << "room for one item even without items";
    uint32_t count = 99;
    std::memcpy(&count, seen[0].bytes.data() + 1368, 4);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(seen[1].size, 1372u + 3 * 1576u);
    std::memcpy(&count, seen[1].bytes.data() + 1368, 4);
    EXPECT_EQ(count, 3u);
    int32_t value4 = 0;
    std::memcpy(&value4, seen[1].bytes.data() + 1372 + 2 * 1576 + 1284, 4);
    EXPECT_EQ(value4, 102);
    EXPECT_STREQ(reinterpret_cast<const char*>(seen[1].bytes.data() + 1336), "20240102030405");

    EXPECT_EQ(seen[2].type, EVENT_TRAFFIC_INFO);
    EXPECT_EQ(seen[2].size, 864u);
    ASSERT_EQ(seen[2].trafficItems.size(), 2u) << "the item pointer leads to the items";
    EXPECT_EQ(seen[2].trafficItems[1].itemValue2, 99);
    EXPECT_STREQ(seen[2].trafficItems[1].itemText, "lane 2");
    double value64 = 0;
    std::memcpy(&value64, seen[2].bytes.data() + 464, 8);
    EXPECT_EQ(value64, -12.75);
    EXPECT_TRUE(seen[3].trafficItems.empty());

    EXPECT_EQ(seen[4].type, EVENT_TRAFFIC_REAL_ALARM);
    EXPECT_EQ(std::string(seen[4].bytes.begin(), seen[4].bytes.end()),
              std::string("{\"alarm\":1}") + '\0');
    EXPECT_EQ(seen[5].type, EVENT_TRAFFIC_SCORE_ALARM);
    EXPECT_EQ(seen[6].size, 1064u);
    EXPECT_STREQ(reinterpret_cast<const char*>(seen[6].bytes.data() + 808), "last");
    EXPECT_EQ(seen[7].size, 88u);
    int32_t objectId = 0;
    std::memcpy(&objectId, seen[7].bytes.data() + 84, 4);
    EXPECT_EQ(objectId, 31);
}

TEST_F(EventsTest, StreamsArriveInOrderAndAreBounded) {
    std::vector<LoginEventData> stream;
    for (int i = 0; i < 40; ++i) {
        stream.push_back(MakeTrafficRealAlarm("alarm " + std::to_string(i)));
    }
    ASSERT_TRUE(PushStream(session, stream, 2000));
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY lock{};
    ASSERT_TRUE(PushRepeated(session, MakeLockStatus(lock), 25, 0));
    EXPECT_FALSE(PushRepeated(session, MakeLockStatus(lock), kMaxStreamEvents + 1, 0));
    EXPECT_FALSE(Push(session + 777, MakeLockStatus(lock)));

    const auto seen = Delivered();
    ASSERT_EQ(seen.size(), 65u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(seen[i].bytes.data())),
                  "alarm " + std::to_string(i));
    }
    for (int i = 40; i < 65; ++i) {
        EXPECT_EQ(seen[i].type, EVENT_PTZ_LOCK_STATUS);
    }
}

TEST_F(EventsTest, ResetDropsEventsStillWaiting) {
    const auto before = GetEventCounters();
    // One event every 100 seconds: all but the first are still queued.
    ASSERT_TRUE(PushRepeated(session, MakeTrafficScoreAlarm("slow"), 5, 0.01));
    Reset();
    ASSERT_TRUE(WaitEventsDelivered());
    const auto after = GetEventCounters();
    EXPECT_EQ(after.delivered + after.dropped - before.delivered - before.dropped, 5u);
    EXPECT_GE(after.dropped - before.dropped, 4u);
    EXPECT_LE(Delivered().size(), 1u);
}

}  // namespace
