#pragma once
// The pan-tilt-zoom mechanics of one channel: position and motion, lens,
// wiper and scan, and its stored presets and cruise.
#include <map>
#include <string>

#include "zrsdk/zrsdk_control.h"

namespace zrsdk {

class PtzUnit {
public:
    // Each returns ZRSDK_OK or the error code; state changes only on ZRSDK_OK.
    // A started movement steps the position once by its speed and keeps the
    // motion recorded until the matching stop.
    int Move(int direction, int speed, bool start);
    int Lens(int operType, int operCode, int speed, bool start);
    int Position(double x, double y, double z, int value);
    int PositionEx(double extA, double extB, const int (&extValues)[4], int extFlag);
    int Wiper(int action);
    int ScanMargin(int margin, int value);
    int AutoScan(int mode, int action, int value);

    // Stores the current position under the number (replacing a preset of
    // that number); an empty name becomes "Preset <n>".
    int SetPreset(int index, const std::string& name, std::string& storedName);
    int GotoPreset(int index, std::string& name);
    int DeletePreset(int index, std::string& name);

    const control::PtzView& State() const { return m_state; }
    // By number.
    const std::map<int, control::PresetPoint>& Presets() const { return m_presets; }
    void SetPresets(const std::vector<control::PresetPoint>& presets);
    const control::CruisePlan& Cruise() const { return m_cruise; }
    void SetCruise(const control::CruisePlan& cruise) { m_cruise = cruise; }

private:
    control::PtzView m_state;
    std::map<int, control::PresetPoint> m_presets;
    control::CruisePlan m_cruise;
};

}  // namespace zrsdk
