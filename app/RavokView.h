#pragma once

#include "app/TextureModeState.h"
#include "app/ViewSurface.h"
#include "art/TrackPaletteChange.h"
#include "edit/CameraFlight.h"
#include "edit/CourseEditing.h"
#include "edit/GroundBoxEditing.h"
#include "edit/CoursePicking.h"
#include "edit/ObjectSelection.h"
#include "model/TrackRecords.h"
#include "edit/TerrainAdjust.h"
#include "edit/TerrainBrush.h"
#include "edit/TerrainTools.h"
#include "edit/TerrainUndo.h"
#include "edit/ViewPicking.h"
#include "render/SoftwareRenderer.h"
#include "render/TerrainPicking.h"
#include "render/TrackScene.h"
#include "render/gl/OpenGLTerrainRenderer.h"

#include <QElapsedTimer>
#include <QWidget>
#include <QTimer>

#include <map>
#include <memory>
#include <optional>
#include <tuple>

class CRavokDoc;
class QAction;
class QMenu;
class QOpenGLContext;
class QOpenGLWidget;

namespace ravok {
struct ProgramSettings;
}

// The edit modes of the view and the frame's mode buttons.
enum EditMode { kEditTerrain = 0, kEditTextures = 1, kEditCourse = 2, kEditObjects = 3, kEditGroundBoxes = 4 };

// The track view: draws the track through OpenGL or the software renderer,
// flies the camera with the keyboard on a 55 ms timer, picks the square under
// the mouse and takes the frame's tool bar notifications.
class CRavokView : public QWidget {
    Q_OBJECT
public:
    CRavokView(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent = nullptr);
    ~CRavokView() override;

    ravok::ViewCamera& camera() { return m_camera; }
    ravok::CameraFlight& flight() { return m_flight; }
    int editMode() const { return m_mode; }
    int displayMode() const { return m_displayMode; }
    std::optional<ravok::GridSquare> hoveredSquare() const { return m_hovered; }
    const COpenGLTerrainRenderer& glRenderer() const { return m_gl; }
    // The picture of the last frame as the widget shows it.
    QImage grabView();
    // The OpenGL surface the view draws on; none until the OpenGL renderer is
    // first used, and none where OpenGL is not available (the software
    // renderer draws then, whatever the setting says).
    QOpenGLWidget* surface() const;
    QOpenGLContext* context() const;
    int framesDrawn() const { return m_framesDrawn; }
    int contextsMade() const { return m_contextsMade; }

    bool locationSaved() const { return bool(m_location.saved); }
    const ravok::TerrainToolParams& terrainTool() const { return m_tool; }
    // The terrain tool at the hovered square (left button, Space); false when nothing changed.
    bool ApplyTerrainTool();
    // Puts a whole generated height map into the track as one undoable terrain edit.
    bool ReplaceHeights(std::span<const uint8_t> heights);
    // Terrain menu: the area under the brush, the greyscale bitmap through the
    // clipboard, and Adjust Terrain Heights; each one undoable edit.
    bool CopyArea();
    bool PasteArea();
    void CopyTerrainBitmap();
    bool PasteTerrainBitmapFromClipboard();
    bool AdjustHeights(const ravok::AdjustHeightsParams& params);
    // Objects mode: the selection, Insert at the hovered square, Delete of the
    // selection (asking first for several), and Tab to the next drawn object.
    const ravok::ObjectSelection& objectSelection() const { return m_objects; }
    // Selects objects as the mouse would (the Models box, tests); kept consistent with the track.
    void setObjectSelection(const ravok::ObjectSelection& selection);
    bool InsertObjectHere();
    int DeleteSelectedObjects();
    void SelectNextObject();
    // Copy Object and Paste Object (at the hovered square) of objects mode.
    bool CopyObject();
    bool PasteObject();
    // Picks the object nearest the point (within 128 pixels); Ctrl adds or removes it.
    void PickObjectAt(QPoint at, bool toggle);
    // The Models box's commands (RavokViewObjects.cpp): the model given to the
    // selected objects, Purge unused models, Cut Model (+ Objects).
    bool AssignModel(int modelSlot);
    int PurgeModels();
    int CutModel(int modelSlot, bool withObjects);
    // Set Type (menu list index 0..15) on the selection, and Object Properties
    // of the current object (Enter, a double-click, the Object menu).
    bool SetSelectedObjectsType(int listIndex);
    bool EditObjectProperties();
    // The Truck menu on the truck start held in course mode.
    bool ReverseTruckStart();
    bool EditTruckProperties();
    // Ground box mode: the bar's paint mode (0 off, 1 face, 2 sides, 3 top and
    // bottom, 4 all faces), painting the selected box with the Textures box's
    // texture, and Cut, Copy and Paste Box.
    int groundBoxPaint() const { return m_boxPaint; }
    void setGroundBoxPaint(int mode);
    bool PaintSelectedGroundBox();
    bool RotateBoxFace();
    bool MirrorBoxFace();
    bool CopyBox();
    bool CutBox();
    bool PasteBox();
    bool hasBoxClipboard() const { return m_boxClipboard.has_value(); }
    // Course mode: the current course (0 main, 1..4), the anchor and truck
    // start held, and the Course menu's commands on them.
    int currentCourse() const { return m_course; }
    int courseAnchor() const { return m_anchor; }
    int truckStart() const { return m_truck; }
    void PickCourseAt(QPoint at);
    bool InsertSegment();
    bool DeleteSegment();
    bool ReverseSegment();
    bool GenerateFromMain();
    bool DeleteAllSegments();
    // Speed Limit of the held anchor's segment: the dialog, then the stored value doubled.
    bool EditSpeedLimit();
    // Ground box mode: the box and face picked, Insert at the hovered square
    // with the bar's heights, Delete, the bar's heights, Rotate and Mirror of a face.
    const ravok::GroundBoxSelection& boxSelection() const { return m_box; }
    void setGroundBoxBar(ravok::GroundBoxBar bar) { m_boxBar = ravok::CorrectGroundBoxBar(bar); }
    const ravok::GroundBoxBar& groundBoxBar() const { return m_boxBar; }
    // Which of the bar's Top and Bottom the S, ], X and [ keys change.
    void setGroundBoxKeysOnTop(bool top) { m_boxKeysOnTop = top; }
    void PickGroundBoxAt(QPoint at);
    bool InsertGroundBoxHere();
    bool DeleteSelectedGroundBox();
    bool ApplyGroundBoxHeights();
    // Texture mode: the selection, paint mode, the Texture menu's commands on
    // the selection and the one level of texture undo; each false when nothing changed.
    const TextureModeState& textureMode() const { return m_textures; }
    TextureModeState& textureMode() { return m_textures; }
    bool TextureClick(ravok::GridSquare square, bool shift);
    void SetTexturePaintMode(bool on);
    void SetTexturePaintSize(int width, int height);
    bool FillTextures(int texture);
    bool RotateTextures();
    bool MirrorTextures();
    bool RotateTextureArea();
    bool MirrorTextureArea();
    bool CopyTextureArea();
    bool PasteTextureArea();
    bool SelectTexture();
    bool ReplaceTexture();
    bool UndoTextures();
    bool ApplyTextureTransitions();
    // Texture t left the table and later slots moved down one: the
    // transitions slots follow (a slot of t itself becomes unset).
    void TextureRemoved(int texture);
    // The pattern the Patterns box chose for Paste Area; null for none.
    void ChoosePattern(const ravok::TexturePattern* pattern);
    // The Texture menu's entries (also the texture mode's context menu).
    void FillTextureMenu(QMenu& menu);
    // The Object, Truck and Building menus (also the context menus of their
    // modes; the Truck menu over a truck start in course mode).
    void FillObjectMenu(QMenu& menu);
    void FillTruckMenu(QMenu& menu);
    void FillBuildingMenu(QMenu& menu);
    // The background and grid entries of the track palette, recomputed when the palette changes.
    ravok::DisplayColourIndices displayColourIndices() const { return m_displayColours; }
    // Edit menu's Undo (Ctrl+Z) and Paste (Ctrl+V) as the edit mode has them:
    // the texture undo in textures mode, else the terrain's; Paste Area of
    // terrain or textures, Paste Object, Paste Box. False when nothing changed.
    bool Undo();
    bool Paste();
    // Undo of the last terrain edit; false when there is none.
    bool UndoTerrain();
    // The edit mode's context menu for a right-click at the point; empty in
    // modes without one. Picks what lies under the cursor first.
    std::unique_ptr<QMenu> contextMenuAt(QPoint at);
    // The size of the software renderer's frame for the display setting.
    QSize softwareFrameSize() const;
    // "Relief Shading": the terrain shaded by its slope while the track has
    // never been lit (the picture only; the track is not changed).
    bool reliefShading() const { return m_reliefShading; }
    void setReliefShading(bool on);
    // The View menu's check for it, made on first use.
    QAction* reliefShadingAction();

public slots:
    // A tool bar's (code, value) notification.
    void OnBarNotification(int code, int value);
    // The whole track was replaced: textures and meshes are built anew.
    void OnTrackReplaced();
    // The track's terrain or objects changed in place: meshes are built anew.
    void OnTrackChanged();
    // Program Options changed the renderer, quality, resolution, flags or colours.
    void OnSettingsChanged();
    void SaveLocation();
    void ReturnToLocation();
    // Moves the camera to a world position (the overview map's jump).
    void JumpTo(int x, int y);

signals:
    void texturesBoxWanted();               // "Display Textures Box"
    void modelsBoxWanted();                 // "Display Models Box"
    void patternsBoxWanted();               // "Display Patterns Box"
    void positionText(const QString& text); // the status bar's position pane
    void heightText(const QString& text);   // the "z" pane
    void cameraMoved();                     // the overview map follows
    void terrainEdited();                   // heights changed in place
    void terrainToolChanged(const ravok::TerrainToolParams& params); // the keys changed a bar field
    void flagsChanged();                    // F5..F9 toggled a view flag
    void groundBoxBarShown(int top, int bottom); // the Groundbox Tools bar shows these values

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class CViewSurface;
    // The OpenGL surface, made when the OpenGL renderer is first used.
    void makeSurface();
    // The surface's context set-up and repaint.
    void initializeGL();
    void paintGL();
    // One frame of the renderer in use and the overlays, on the device.
    void paintFrame(QPaintDevice& device, bool openGL);
    void onFlightTick();
    bool setFlightKey(int key, bool down);
    // S, X, brackets, Tab, + and - of terrain mode; false for other keys.
    bool terrainKey(int key);
    // The object keys and Tab, Insert, Delete of objects mode.
    bool objectKey(QKeyEvent* event);
    // Every object's projected position, indexed by slot.
    std::vector<ravok::ScreenPoint> projectedObjects() const;
    void objectsChanged();
    // The mouse in objects mode: a click, Ctrl+click and Ctrl+drag box, a drag
    // moving the selection on the ground, a Shift+drag turning it.
    void objectMousePress(QMouseEvent* event);
    // `ground`: the terrain point under the mouse, if any.
    void objectMouseMove(QMouseEvent* event, std::optional<ravok::GroundPick> ground);
    void objectMouseRelease(QMouseEvent* event);
    void paintObjectGesture(QPainter& painter);
    struct ObjectGesture {
        bool active = false, ctrl = false, moved = false;
        int slot = -1;              // the object under the press
        bool inGroup = false;       // it was a member of a multi-selection
        QPoint start, last;         // where the press was, the last mouse position
    } m_gesture;
    void rebuildScene();
    void paintOpenGL();
    void paintSoftware(QPainter& painter);
    void paintOverlay(QPainter& painter);
    void fillTerrainMenu(QMenu& menu);
    void fillCourseMenu(QMenu& menu);
    // S, ], X and [ of ground box mode; false for other keys.
    bool groundBoxKey(int key);
    // The selected box's heights into the bar.
    void showSelectedBoxHeights();
    // The picked ground box outlined and its picked face filled.
    void paintGroundBoxOverlay(QPainter& painter);
    // Every shown triangle of the box meshes on the widget, with its box and face value.
    std::vector<ravok::GroundBoxScreenTriangle> boxScreenTriangles() const;
    void showCameraStatus();
    // After a terrain edit: the document is modified and the meshes follow.
    void terrainChanged();
    void toggleFlag(bool& flag);
    void contextAboutToGo();
    ravok::FrameBuffer pickingFrame() const;
    // The terrain point under the mouse, else the hovered square's centre, with its ground height.
    std::optional<ravok::GroundPick> groundUnderMouse() const;
    const ravok::Mesh& plainBlock(const ravok::TrackObject& object);

    CRavokDoc& m_doc;
    ravok::ProgramSettings& m_settings;
    ravok::ViewCamera m_camera;
    ravok::CameraFlight m_flight;
    ravok::FlightKeys m_keys;
    ravok::SavedLocation m_location;
    QTimer m_flightTimer;
    QElapsedTimer m_sinceTick;
    int m_mode = kEditTerrain;
    int m_displayMode = 0; // textured, wire frame, both
    std::optional<ravok::GridSquare> m_hovered;
    std::optional<ravok::TerrainPoint> m_terrainPoint; // the terrain under the mouse, at its last move
    ravok::TerrainToolParams m_tool;
    std::optional<ravok::TerrainToolParams> m_outlineFor; // the brush outline's extent is of these
    std::pair<int, int> m_outlineExtent{1, 1};
    ravok::TerrainUndo m_undo;
    ravok::TerrainArea m_area;
    ravok::SinglePointRepeat m_singlePointRepeat;
    ravok::ObjectSelection m_objects;
    std::optional<ravok::TrackObject> m_copiedObject;
    int m_course = 0, m_anchor = -1, m_truck = -1;
    ravok::GroundBoxSelection m_box;
    ravok::GroundBoxBar m_boxBar;
    bool m_boxKeysOnTop = true;
    int m_boxPaint = 0;
    std::optional<int> selectedBoxTexture() const; // the Textures box's texture, if any
    std::optional<ravok::GroundBoxClipboard> m_boxClipboard;
    void boxesChanged(const ravok::GroundBoxChange& change);
    bool m_alwaysShowMain = true;
    // Applies a course command's result: modified flag, the anchor to hold, the map.
    void courseChanged(const ravok::CourseChange& change);
    ravok::ScreenProjection screenProjection() const;
    // Texture mode's part of the notifications, keys, mouse and overlay.
    bool textureNotification(int code, int value);
    bool textureKey(QKeyEvent* event);
    void textureMousePress(QMouseEvent* event);
    void followTextureCursor();
    bool texturesEdited(const ravok::TextureChange& change);
    void cellTexturesChanged();
    void paintTextureOverlay(QPainter& painter);
    TextureModeState m_textures;
    ravok::DisplayColourIndices m_displayColours;
    QElapsedTimer m_pressed; // a drag counts after the button has been down 200 ms
    QElapsedTimer m_sinceSinglePoint;

    ravok::TrackScene m_scene;
    ravok::FrameBuffer m_frame;
    ravok::ShadeTables m_shades;
    COpenGLTerrainRenderer m_gl;
    CViewSurface* m_surface = nullptr;
    CSoftwareFramePresenter m_presenter;
    // Kept from frame to frame, so that its buffers are not made again for each.
    ravok::SoftwareRenderSettings m_softwareSettings;
    std::unique_ptr<ravok::SoftwareRenderer> m_software;
    bool m_reliefShading = true;
    QAction* m_reliefAction = nullptr;
    bool m_texturesChanged = true;
    std::map<std::tuple<int, int, int>, std::unique_ptr<ravok::Mesh>> m_plainBlocks;
    int m_framesDrawn = 0, m_contextsMade = 0;
    ravok::FrameRateCounter m_frameRate;
    QElapsedTimer m_clock;
};
