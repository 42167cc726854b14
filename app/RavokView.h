#pragma once

#include "app/ViewSurface.h"
#include "edit/CameraFlight.h"
#include "edit/CourseEditing.h"
#include "edit/CoursePicking.h"
#include "edit/EditSession.h"
#include "edit/GroundBoxEditing.h"
#include "edit/ObjectSelection.h"
#include "edit/TerrainAdjust.h"
#include "edit/TerrainBrush.h"
#include "edit/TerrainTools.h"
#include "edit/TerrainUndo.h"
#include "edit/ViewPicking.h"
#include "model/TrackRecords.h"
#include "render/SoftwareRenderer.h"
#include "render/TerrainPicking.h"
#include "render/TrackScene.h"
#include "render/gl/OpenGLTerrainRenderer.h"
#include "trackart/TrackPaletteChange.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <tuple>

class CRavokDoc;
class QAction;
class QMenu;
class QOpenGLContext;

namespace ravok {
struct ProgramSettings;
}

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
    ravok::EditMode editMode() const { return m_session.mode; }
    int displayMode() const { return m_session.displayMode; }
    // The editing session: each mode's tools, selections and clipboards, and the undo history.
    const ravok::EditSession& session() const { return m_session; }
    // Puts the tools' values (the three Altitudes, the paint size, the display
    // mode...) into the settings' edit state, to be there at the next start.
    void storeEditState() { m_session.store(m_settings.editState, m_settings.planeAltitude); }
    std::optional<ravok::GridSquare> hoveredSquare() const { return m_hovered; }
    const COpenGLTerrainRenderer& glRenderer() const { return m_gl; }
    // The meshes and textures made from the track for both renderers.
    const ravok::TrackScene& scene() const { return m_scene; }
    // The picture of the last frame as the widget shows it.
    QImage grabView();
    // The OpenGL surface the view draws on; none until the OpenGL renderer is
    // first used, and none where OpenGL is not available (the software
    // renderer draws then, whatever the setting says).
    CViewSurface* surface() const { return m_surface; }
    QOpenGLContext* context() const;
    int framesDrawn() const { return m_framesDrawn; }
    int contextsMade() const { return m_contextsMade; }

    bool locationSaved() const { return bool(m_location.saved); }
    const ravok::TerrainToolParams& terrainTool() const { return m_session.terrain.tool; }
    // The terrain tool at the hovered square (left button, Space; tools 0..6
    // only); false when nothing changed.
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
    const ravok::ObjectSelection& objectSelection() const { return m_session.objects.selection; }
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
    int groundBoxPaint() const { return m_session.boxes.paint; }
    void setGroundBoxPaint(int mode);
    bool PaintSelectedGroundBox();
    bool RotateBoxFace();
    bool MirrorBoxFace();
    bool CopyBox();
    bool CutBox();
    bool PasteBox();
    bool hasBoxClipboard() const { return m_session.boxes.clipboard.has_value(); }
    // Course mode: the current course (0 main, 1..4), the anchor and truck
    // start held, and the Course menu's commands on them.
    int currentCourse() const { return m_session.course.course; }
    int courseAnchor() const { return m_session.course.anchor; }
    int truckStart() const { return m_session.course.truck; }
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
    const ravok::GroundBoxSelection& boxSelection() const { return m_session.boxes.selection; }
    void setGroundBoxBar(ravok::GroundBoxBar bar) { m_session.boxes.bar = ravok::CorrectGroundBoxBar(bar); }
    const ravok::GroundBoxBar& groundBoxBar() const { return m_session.boxes.bar; }
    // Which of the bar's Top and Bottom the S, ], X and [ keys change.
    void setGroundBoxKeysOnTop(bool top) { m_session.boxes.keysOnTop = top; }
    void PickGroundBoxAt(QPoint at);
    bool InsertGroundBoxHere();
    bool DeleteSelectedGroundBox();
    bool ApplyGroundBoxHeights();
    // Texture mode: the selection, paint mode, the Texture menu's commands on
    // the selection and the one level of texture undo; each false when nothing changed.
    const ravok::TextureModeState& textureMode() const { return m_session.textures; }
    ravok::TextureModeState& textureMode() { return m_session.textures; }
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
    // Edit menu's Undo (Ctrl+Z) and Redo (Ctrl+Y, Ctrl+Shift+Z): the last
    // step of any mode; false when there is none. Paste (Ctrl+V) as the edit
    // mode has it: Paste Area of terrain or textures, Paste Object, Paste Box.
    bool Undo();
    bool Redo();
    bool canUndo() const { return m_session.history.canUndo(); }
    bool canRedo() const { return m_session.history.canRedo(); }
    // The Edit menu's texts, naming the step: "&Undo Raise Terrain".
    QString undoText() const;
    QString redoText() const;
    bool Paste();
    // The Object menu's steps and the frame's object commands: one step on every selected object.
    bool StepObjects(const ravok::ObjectKeyAction& step);
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
    // A command of the frame's bars, boxes and menus, with its value.
    void OnBarNotification(ravok::ViewCommand command, int value);
    // An edit made outside the view, recorded as a step of the history.
    void OnEditRecorded(const QString& stepName);
    // The document was saved: the history's saved state is the track as it is now.
    void OnDocumentSaved();
    // The track is about to be cleared: every mesh, texture and OpenGL
    // object made from it is dropped, so nothing of a freed model is drawn.
    void OnAboutToReplaceContents();
    // A worker took the track or gave it back: a drag under way is taken as
    // a step first, the flight stops, and input waits for the track.
    void OnBusyChanged(bool busy);
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
    void historyChanged();                  // a step was taken, undone or redone

protected:
    // Keys, buttons, wheel and context menus are ignored while a worker owns the track.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The OpenGL context, made when the OpenGL renderer is first used.
    void makeSurface();
    // One frame of the renderer in use and the overlays, on the device.
    void paintFrame(QPaintDevice& device, bool openGL);
    void onFlightTick();
    // What a key of the view's key table does.
    void applyKey(const ravok::ViewKeyResult& result, ravok::Key key, bool autoRepeat);
    // The tool at the hovered square, Single-point included (its Altitude field).
    bool applyTerrainToolHere();
    // The terrain tool changed from the view's side: the bar shows it and the settings keep it.
    void toolShown();
    // Records an edit as a step of the history (deferred to the end of a drag)
    // and sets the document's modified mark from it.
    void commitEdit(const std::string& stepName);
    // A change the history does not follow; the track stays modified.
    void untrackedEdit();
    bool stepHistory(bool forward);
    void finishDrag();
    // Course mode: the anchor or truck start under the mouse, or a drag of the held one.
    void courseMouseMove(QMouseEvent* event, bool overTerrain);
    // Every object's projected position, indexed by slot.
    std::vector<ravok::ScreenPoint> projectedObjects() const;
    void objectsChanged(const char* stepName);
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
    // The OpenGL frame, drawn offscreen and painted; false when OpenGL could not draw it.
    bool paintOpenGL(QPainter& painter);
    void drawOpenGLScene(int width, int height);
    void paintSoftware(QPainter& painter);
    void paintOverlay(QPainter& painter);
    void fillTerrainMenu(QMenu& menu);
    void fillCourseMenu(QMenu& menu);
    // The selected box's heights into the bar.
    void showSelectedBoxHeights();
    // The picked ground box outlined and its picked face filled.
    void paintGroundBoxOverlay(QPainter& painter);
    // Every shown triangle of the box meshes on the widget, with its box and face value.
    std::vector<ravok::GroundBoxScreenTriangle> boxScreenTriangles() const;
    void showCameraStatus();
    // What the view draws besides the terrain: each kind in its own mode, or
    // everywhere with its "Always Show" flag (F5, F6, F7); the main course
    // beside an extended one only with "Always show main".
    bool courseShown() const { return m_session.mode == ravok::EditMode::Course || m_settings.alwaysShowCourse; }
    bool objectsShown() const { return m_session.mode == ravok::EditMode::Objects || m_settings.alwaysShowObjects; }
    bool groundBoxesShown() const {
        return m_session.mode == ravok::EditMode::GroundBoxes || m_settings.alwaysShowGroundBoxes;
    }
    bool mainCourseShown() const { return m_session.course.course == 0 || m_session.course.alwaysShowMain; }
    // The terrain's wire frame: "Wireframe" alone, "Wire Overlay" over the textured ground.
    const ravok::ColourValue& wireColour() const;
    // After a terrain edit: the step is recorded and the meshes follow.
    void terrainChanged(const std::string& stepName);
    void toggleFlag(ravok::ViewFlag flag);
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
    ravok::EditSession m_session;
    QTimer m_flightTimer;
    QElapsedTimer m_sinceTick;
    std::optional<ravok::GridSquare> m_hovered;
    std::optional<ravok::TerrainPoint> m_terrainPoint; // the terrain under the mouse, at its last move
    std::optional<ravok::TerrainToolParams> m_outlineFor; // the brush outline's extent is of these
    std::pair<int, int> m_outlineExtent{1, 1};
    std::optional<int> selectedBoxTexture() const; // the Textures box's texture, if any
    void boxesChanged(const ravok::GroundBoxChange& change, const char* stepName);
    // Applies a course command's result: modified flag, the anchor to hold, the map.
    void courseChanged(const ravok::CourseChange& change, const char* stepName);
    ravok::ScreenProjection screenProjection() const;
    // Texture mode's part of the notifications, keys, mouse and overlay.
    bool textureNotification(ravok::ViewCommand command, int value);
    void textureMousePress(QMouseEvent* event);
    void followTextureCursor();
    bool texturesEdited(const ravok::TextureChange& change, const char* stepName);
    // Texture cells changed in place: only the terrain mesh and its pages follow.
    void cellTexturesChanged();
    void paintTextureOverlay(QPainter& painter);
    ravok::DisplayColourIndices m_displayColours;
    QElapsedTimer m_pressed; // a drag counts after the button has been down 200 ms
    bool m_leftButtonDown = false;
    std::optional<std::string> m_pendingStep; // the step a drag is making
    std::optional<QPoint> m_turnDragFrom;     // the middle button turns the camera

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
