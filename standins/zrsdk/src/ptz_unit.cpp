#include "ptz_unit.h"

#include <algorithm>
#include <cmath>

#include "zrsdk/zrsdk_errors.h"
#include "zrsdk/zrsdk_types.h"

namespace zrsdk {

namespace {

constexpr double kMinZoom = 1.0;
constexpr double kMaxZoom = 40.0;
constexpr int kMaxPresetNumber = 1024;

double WrapPan(double x) {
    double wrapped = std::fmod(x, 360.0);
    return wrapped < 0 ? wrapped + 360.0 : wrapped;
}

double ClampTilt(double y) {
    return std::min(90.0, std::max(-90.0, y));
}

bool IsFinite(double value) {
    return std::isfinite(value);
}

}  // namespace

int PtzUnit::Move(int direction, int speed, bool start) {
    if (direction < ZRSDK_PTZ_DIR_UP || direction > ZRSDK_PTZ_DIR_DOWN_RIGHT || speed < 0) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    if (!start) {
        m_state.moveDirection = 0;
        m_state.moveSpeed = 0;
        return ZRSDK_OK;
    }
    // Unit steps (pan, tilt) of each direction, in the order of the codes.
    static const int kSteps[8][2] = {{0, 1}, {0, -1}, {-1, 0}, {1, 0},
                                     {-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    const auto& step = kSteps[direction - ZRSDK_PTZ_DIR_UP];
    m_state.x = WrapPan(m_state.x + step[0] * speed);
    m_state.y = ClampTilt(m_state.y + step[1] * speed);
    m_state.moveDirection = direction;
    m_state.moveSpeed = speed;
    return ZRSDK_OK;
}

int PtzUnit::Lens(int operType, int operCode, int speed, bool start) {
    if ((operType != ZRSDK_LENS_INCREASE && operType != ZRSDK_LENS_DECREASE) ||
        operCode < ZRSDK_LENS_ZOOM || operCode > ZRSDK_LENS_IRIS || speed < 0) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    if (!start) {
        m_state.lensOperType = 0;
        m_state.lensOperCode = 0;
        return ZRSDK_OK;
    }
    const int sign = operType == ZRSDK_LENS_INCREASE ? 1 : -1;
    switch (operCode) {
        case ZRSDK_LENS_ZOOM:
            m_state.z = std::min(kMaxZoom, std::max(kMinZoom, m_state.z + sign * speed * 0.5));
            break;
        case ZRSDK_LENS_FOCUS:
            m_state.focus = std::min(100, std::max(0, m_state.focus + sign * speed));
            break;
        default:
            m_state.iris = std::min(100, std::max(0, m_state.iris + sign * speed));
            break;
    }
    m_state.lensOperType = operType;
    m_state.lensOperCode = operCode;
    return ZRSDK_OK;
}

int PtzUnit::Position(double x, double y, double z, int value) {
    if (!IsFinite(x) || !IsFinite(y) || !IsFinite(z)) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    m_state.x = WrapPan(x);
    m_state.y = ClampTilt(y);
    m_state.z = std::min(kMaxZoom, std::max(kMinZoom, z));
    m_state.lastSitValue = value;
    m_state.moveDirection = 0;
    m_state.moveSpeed = 0;
    return ZRSDK_OK;
}

int PtzUnit::PositionEx(double extA, double extB, const int (&extValues)[4], int extFlag) {
    if (!IsFinite(extA) || !IsFinite(extB)) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    m_state.x = WrapPan(extA);
    m_state.y = ClampTilt(extB);
    std::copy(std::begin(extValues), std::end(extValues), std::begin(m_state.extValues));
    m_state.extFlag = extFlag;
    m_state.moveDirection = 0;
    m_state.moveSpeed = 0;
    return ZRSDK_OK;
}

int PtzUnit::Wiper(int action) {
    if (action != ZRSDK_AUX_ACTION_START && action != ZRSDK_AUX_ACTION_STOP) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    m_state.wiperOn = action == ZRSDK_AUX_ACTION_START;
    return ZRSDK_OK;
}

int PtzUnit::ScanMargin(int margin, int value) {
    if (margin <= 0) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    m_state.scanMargins[margin] = value;
    return ZRSDK_OK;
}

int PtzUnit::AutoScan(int mode, int action, int value) {
    if (action != ZRSDK_AUX_ACTION_START && action != ZRSDK_AUX_ACTION_STOP) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    m_state.scanning = action == ZRSDK_AUX_ACTION_START;
    if (m_state.scanning) {
        m_state.scanMode = mode;
        m_state.scanSpeed = value;
    }
    return ZRSDK_OK;
}

int PtzUnit::SetPreset(int index, const std::string& name, std::string& storedName) {
    if (index <= 0 || index > kMaxPresetNumber) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    control::PresetPoint preset;
    preset.index = index;
    preset.name = name.empty() ? "Preset " + std::to_string(index) : name;
    preset.x = m_state.x;
    preset.y = m_state.y;
    preset.z = m_state.z;
    storedName = preset.name;
    m_presets[index] = preset;
    return ZRSDK_OK;
}

int PtzUnit::GotoPreset(int index, std::string& name) {
    auto found = m_presets.find(index);
    if (found == m_presets.end()) {
        return ZRSDK_ERR_UNKNOWN_PRESET;
    }
    m_state.x = found->second.x;
    m_state.y = found->second.y;
    m_state.z = found->second.z;
    m_state.moveDirection = 0;
    m_state.moveSpeed = 0;
    name = found->second.name;
    return ZRSDK_OK;
}

int PtzUnit::DeletePreset(int index, std::string& name) {
    auto found = m_presets.find(index);
    if (found == m_presets.end()) {
        return ZRSDK_ERR_UNKNOWN_PRESET;
    }
    name = found->second.name;
    m_presets.erase(found);
    return ZRSDK_OK;
}

void PtzUnit::SetPresets(const std::vector<control::PresetPoint>& presets) {
    m_presets.clear();
    for (const auto& preset : presets) {
        m_presets[preset.index] = preset;
    }
}

}  // namespace zrsdk
