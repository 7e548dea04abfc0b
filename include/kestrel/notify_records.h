#pragma once
// Server notifications as the client reads them from the parameter objects.
// Plain values: copies are deep and independent.
#include <cstdint>
#include <string>
#include <vector>

namespace Kestrel {

struct TrafficInfoItem {
    uint32_t itemValue1 = 0;
    std::string itemText;
    uint32_t itemValue2 = 0;
};

struct TrafficInfoNotify {
    std::string text1;
    std::string text2;
    std::string text3;
    int32_t value1 = 0;
    int64_t value64 = 0;
    int32_t value2 = 0;
    std::string text4;
    int32_t value3 = 0;
    int32_t value4 = 0;
    int32_t value5 = 0;
    int32_t value6 = 0;
    std::string text5;
    uint32_t itemCount = 0;
    std::vector<TrafficInfoItem> items;
};

struct TrafficRealAlarmInfo {
    std::string text01, text02, text03, text04, text05, text06, text07, text08, text09, text10;
    std::string text11, text12, text13, text14, text15, text16, text17, text18, text19, text20;
    std::string text21, text22, text23, text24, text25, text26, text27, text28, text29, text30;
    std::string text31, text32, text33, text34, text35, text36, text37, text38, text39, text40;
    std::string text41, text42, text43, text44, text45;
    std::string payloadText;
    int64_t number1 = 0, number2 = 0, number3 = 0;
    int32_t value1 = 0, value2 = 0, value3 = 0, value4 = 0, value5 = 0, value6 = 0, value7 = 0;
    bool flag1 = false, flag2 = false, flag3 = false;
};

struct TrafficScoreAlarmInfo {
    std::string text01, text02, text03, text04, text05, text06, text07, text08;
    std::string text09, text10, text11, text12, text13, text14, text15, text16;
    std::string payloadText;
    int64_t number1 = 0, number2 = 0, number3 = 0;
    int32_t value1 = 0, value2 = 0, value3 = 0, value4 = 0, value5 = 0;
    bool flag1 = false, flag2 = false;
};

struct IMSAlarmInfoNotify {
    std::string text1;
    std::string text2;
    std::string text3;
    std::string text4;
    std::string text5;
    std::string text6;
};

struct FaceInfoItemBase {
    std::string text1;
    int32_t value1 = 0;
    std::string text2;
    int32_t value2 = 0;
    int32_t value3 = 0;
    std::string text3;
    std::string text4;
    std::string text5;
    std::string text6;
    std::string text7;
    int32_t value4 = 1;
    std::string text8;
    std::string text9;
};

struct FaceInfoItem : FaceInfoItemBase {
    std::string text10;
    std::string text11;
    float realValue = 0.0f;
    bool flag = false;
};

struct FaceInfoNotify {
    std::string text1, text2, text3, text4;
    int32_t value1 = 0, value2 = 0;
    std::string text5, text6;
    bool flag = false;
    std::string text7, text8;
    int32_t value3 = 0, value4 = 0, value5 = 0, value6 = 0;
    int32_t value7 = 1, value8 = 1, value9 = 1, value10 = 1;
    int32_t value11 = 0, value12 = 0, value13 = 0;
    int64_t time1 = 0;  // seconds since 1970-01-01 UTC
    int64_t time2 = 0;
    std::vector<FaceInfoItem> items;
};

}  // namespace Kestrel
