#include "edit/CameraFlight.h"

#include <algorithm>
#include <cmath>

namespace ravok {
namespace {

constexpr float kTickMs = 55.0f;

// A speed that grows by `step` towards `limit` while one of its two keys is
// held and is 0 at once when neither is.
float accelerate(float speed, bool plus, bool minus, float step, float limit) {
    if (plus == minus) return 0;
    speed += plus ? step : -step;
    return std::clamp(speed, -limit, limit);
}

// Adds `delta` to an integer value keeping the fraction in `carry`.
int addWithCarry(int value, float delta, float& carry) {
    const float total = carry + delta;
    const float whole = std::floor(total);
    carry = total - whole;
    return value + int(whole);
}

} // namespace

void CameraFlight::stop() {
    m_forward = m_sideways = m_turn = m_pitchRate = m_climb = 0;
    m_yawCarry = m_pitchCarry = m_zCarry = m_xCarry = m_yCarry = 0;
    m_firstTick = true;
}

CameraFlight::TickResult CameraFlight::tick(ViewCamera& camera, const FlightKeys& keys, int elapsedMs,
                                            const Ground& ground) {
    const float dt = m_firstTick ? 1.0f : float(std::clamp(elapsedMs, 0, 200)) / kTickMs;
    m_firstTick = false;

    m_forward = accelerate(m_forward, keys.forward, keys.back, (keys.fast ? 66.0f : 11.0f) * dt,
                           keys.fast ? 2000.0f : 500.0f);
    m_sideways = accelerate(m_sideways, keys.slideRight, keys.slideLeft, 9.0f * dt, 500.0f);
    m_turn = accelerate(m_turn, keys.turnRight, keys.turnLeft, 3.0f * dt, 50.0f);
    m_pitchRate = accelerate(m_pitchRate, keys.lookDown, keys.lookUp, 3.0f * dt, 50.0f);
    m_climb = accelerate(m_climb, keys.climb, keys.descend, 1.0f * dt, 30.0f);

    const ViewCamera before = camera;
    if (m_turn != 0) camera.yaw = ((addWithCarry(camera.yaw, m_turn * dt, m_yawCarry) % 3600) + 3600) % 3600;
    if (m_pitchRate != 0)
        camera.pitch = std::clamp(addWithCarry(camera.pitch, m_pitchRate * dt, m_pitchCarry), 0, kCameraMaxPitch);
    if (m_climb != 0) camera.z = std::clamp(addWithCarry(camera.z, m_climb * dt, m_zCarry), 0, kCameraMaxZ);

    if (m_forward != 0 || m_sideways != 0) {
        const int aboveGround = camera.z - 3 * (ground ? ground(camera.x, camera.y) : 0);
        const auto [dx, dy] = camera.direction();
        const float moveX = (float(dx) * m_forward + float(dy) * m_sideways) * dt / 2048.0f;
        const float moveY = (float(dy) * m_forward - float(dx) * m_sideways) * dt / 2048.0f;
        camera.x = std::clamp(addWithCarry(camera.x, moveX, m_xCarry), 0, kCameraMaxXY);
        camera.y = std::clamp(addWithCarry(camera.y, moveY, m_yCarry), 0, kCameraMaxXY);
        if (altitudeLock && ground)
            camera.z = std::clamp(3 * ground(camera.x, camera.y) + aboveGround, 0, kCameraMaxZ);
    }

    TickResult result;
    result.changed = camera.x != before.x || camera.y != before.y || camera.z != before.z ||
                     camera.yaw != before.yaw || camera.pitch != before.pitch;
    result.originChanged = camera.originX() != before.originX() || camera.originY() != before.originY();
    return result;
}

bool FlyByWheel(ViewCamera& camera, int wheelUnits, bool fast, bool altitudeLock, const CameraFlight::Ground& ground) {
    const double distance = wheelUnits / 120.0 * (fast ? 512.0 : 128.0);
    if (distance == 0) return false;
    const ViewCamera before = camera;
    const int aboveGround = camera.z - 3 * (ground ? ground(camera.x, camera.y) : 0);
    const auto [dx, dy] = camera.direction();
    camera.x = std::clamp(int(std::lround(camera.x + dx * distance / 256.0)), 0, kCameraMaxXY);
    camera.y = std::clamp(int(std::lround(camera.y + dy * distance / 256.0)), 0, kCameraMaxXY);
    if (altitudeLock && ground) camera.z = std::clamp(3 * ground(camera.x, camera.y) + aboveGround, 0, kCameraMaxZ);
    return camera.x != before.x || camera.y != before.y;
}

bool TurnByDrag(ViewCamera& camera, int dx, int dy) {
    const ViewCamera before = camera;
    camera.yaw = ((camera.yaw + dx * 4) % 3600 + 3600) % 3600;
    camera.pitch = std::clamp(camera.pitch + dy * 4, 0, kCameraMaxPitch);
    return camera.yaw != before.yaw || camera.pitch != before.pitch;
}

bool SavedLocation::restore(ViewCamera& camera) const {
    if (!saved) return false;
    const int gridSize = camera.gridSize;
    camera = *saved;
    camera.gridSize = gridSize;
    return true;
}

} // namespace ravok
