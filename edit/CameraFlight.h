#pragma once

#include "render/ViewCamera.h"

#include <functional>
#include <optional>

namespace ravok {

// The flight keys held down at a timer tick.
struct FlightKeys {
    bool forward = false, back = false;          // Up / Down
    bool turnLeft = false, turnRight = false;    // Left / Right
    bool lookUp = false, lookDown = false;       // Page Up / Page Down
    bool climb = false, descend = false;         // A / Z
    bool slideLeft = false, slideRight = false;  // , / .
    bool fast = false;                           // Shift
    bool any() const {
        return forward || back || turnLeft || turnRight || lookUp || lookDown || climb || descend || slideLeft ||
               slideRight;
    }
};

// Limits of the camera.
constexpr int kCameraMaxXY = 16383;
constexpr int kCameraMaxZ = 2304;
constexpr int kCameraMaxPitch = 1800;

// The camera's keyboard flight: speeds that grow while a key is held and stop
// when it is released, applied once per timer tick with their fractions
// carried over to the next tick.
class CameraFlight {
public:
    // Terrain height (0..255) under a world position.
    using Ground = std::function<int(int x, int y)>;

    struct TickResult {
        bool changed = false;       // the camera moved or turned
        bool originChanged = false; // the terrain window must be rebuilt
    };

    // One tick `elapsedMs` after the last (the first tick counts as one period).
    TickResult tick(ViewCamera& camera, const FlightKeys& keys, int elapsedMs, const Ground& ground);
    // Forgets speeds and carries (a new track, focus lost).
    void stop();

    bool altitudeLock = false; // "Lock View Altitude"
    float forwardSpeed() const { return m_forward; }
    float sidewaysSpeed() const { return m_sideways; }
    float turnRate() const { return m_turn; }

private:
    float m_forward = 0, m_sideways = 0, m_turn = 0, m_pitchRate = 0, m_climb = 0;
    float m_yawCarry = 0, m_pitchCarry = 0, m_zCarry = 0, m_xCarry = 0, m_yCarry = 0;
    bool m_firstTick = true;
};

// The mouse wheel flies the camera along its heading: 128 world units (two
// squares) a notch of 120 wheel units, four times that with Shift; with the
// altitude lock the height above the ground stays. True when the camera moved.
bool FlyByWheel(ViewCamera& camera, int wheelUnits, bool fast, bool altitudeLock, const CameraFlight::Ground& ground);
// Dragging with the middle button turns the camera (4 tenths of a degree a
// pixel across) and pitches it (the same a pixel down looks down).
bool TurnByDrag(ViewCamera& camera, int dx, int dy);

// "Save Location" / "Return to Location".
struct SavedLocation {
    std::optional<ViewCamera> saved;
    void save(const ViewCamera& camera) { saved = camera; }
    // False (and nothing changes) before the first save.
    bool restore(ViewCamera& camera) const;
};

} // namespace ravok
