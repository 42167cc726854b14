#pragma once

#include "edit/CameraFlight.h"
#include "edit/ObjectEditing.h"
#include "edit/ViewCommands.h"

#include <cstdint>
#include <optional>

// What a key pressed in the track view does, decided from the key and its
// modifiers alone, never from the text the key types: on some keyboards
// Shift+Ctrl+D types a control character and Shift+1 types "!".

namespace ravok {

// The keys the view knows. Letters, digits and punctuation are their ASCII
// upper-case codes; the others are named.
enum class Key : int {
    None = 0,
    Space = ' ',
    Comma = ',',
    Period = '.',
    Plus = '+',
    Minus = '-',
    BracketLeft = '[',
    BracketRight = ']',
    Up = 0x1000,
    Down, Left, Right, PageUp, PageDown, Home, Clear, Tab, Enter, Delete, Insert,
    F2, F3, F4, F5, F6, F7, F8, F9,
    Shift, // held: fast flight
};
constexpr Key LetterKey(char c) { return Key(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); }

struct KeyModifiers {
    bool shift = false, ctrl = false, alt = false, keypad = false;
};

// The key as the view reads it: the numeric pad's 8 2 4 6 9 3 fly as the
// arrows and Page keys and its 5 is Clear; with Shift, the symbols a US
// keyboard types on the digit and bracket keys count as those keys, so
// Shift+1 is the "1" key with Shift.
Key CanonicalKey(Key key, KeyModifiers modifiers);

// The view's flags toggled by F5..F9.
enum class ViewFlag { AlwaysShowCourse, AlwaysShowObjects, AlwaysShowGroundBoxes, ShowWater, ShowBackdrop };

enum class ViewKeyAction {
    None,               // not the view's: the frame takes it
    Fly,                // a flight key (held), see FlightKeyOf
    LookNorth,          // Home
    LevelView,          // numpad 5 / Clear
    ApplyTerrainTool,   // Space in terrain mode (tools 0..6)
    SinglePointRaise,   // S or ] with Single-point
    SinglePointLower,   // X or [ with Single-point
    AltitudeUp,         // S or ] with the other tools
    AltitudeDown,       // X or [
    NextOrientation,    // Tab in terrain mode
    CurvatureUp,        // +
    CurvatureDown,      // -
    FillTextures,       // Space in texture mode
    RotateTextures,     // Ctrl+R: each texture turns in place
    RotateTextureArea,  // R: the area turns
    MirrorTextures,     // Ctrl+M
    MirrorTextureArea,  // M
    ObjectStep,         // see the object action
    NextObject,         // Tab in object mode
    Insert,             // object, segment or ground box at the cursor
    DeleteOnRelease,    // objects, segment, ground box; acts when the key is released
    PropertiesOnRelease, // Enter in object mode
    BoxHeightUp,        // S or ] in ground-box mode
    BoxHeightDown,      // X or [
    RotateBoxFace,      // R
    MirrorBoxFace,      // M
    SaveLocation,       // F2
    ReturnToLocation,   // F3
    LockAltitude,       // F4
    ToggleFlag,         // F5..F9, see the flag
};

struct ViewKeyResult {
    ViewKeyAction action = ViewKeyAction::None;
    ObjectKeyAction objectStep;            // for ObjectStep
    ViewFlag flag = ViewFlag::ShowWater;   // for ToggleFlag
    // R, T and M act at most once per 55 ms tick of the view.
    bool oncePerTick = false;
};

// The key table of the view for the mode. `singlePoint`: the terrain tool is
// Single-point. `sitUnits`: the option that doubles the finest object x/y step.
ViewKeyResult ResolveViewKey(EditMode mode, Key key, KeyModifiers modifiers, bool singlePoint, bool sitUnits);

// Holds or releases a flight key (arrows, Page Up/Down, A/Z, comma and
// period, Shift for speed); false for any other key.
bool SetFlightKey(FlightKeys& keys, Key key, bool down);

// The step an object command of the frame (codes 38 and 41..47) applies:
// the value in the command's unit, as the key table's actions hold it.
std::optional<ObjectKeyAction> ObjectStepOfCommand(ViewCommand command, int value);

// Gate of the keys that act at most once per view tick: take() is true when
// at least one tick (55 ms) has passed since the last action it allowed.
class TickGate {
public:
    static constexpr int64_t kTickMs = 55;
    bool take(int64_t nowMs) {
        if (m_last && nowMs - *m_last < kTickMs) return false;
        m_last = nowMs;
        return true;
    }

private:
    std::optional<int64_t> m_last;
};

} // namespace ravok
