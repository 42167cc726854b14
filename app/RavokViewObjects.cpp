// The view's objects mode beyond placing and keys: the mouse gestures, the
// model commands of the Models box, Set Type and Object Properties; the Truck
// menu of course mode; painting, cutting, copying and pasting ground boxes.
#include "app/RavokView.h"

#include "app/ObjectPropertiesDlg.h"
#include "app/RavokDoc.h"
#include "app/TopCrushChoice.h"
#include "app/TruckPropertiesDlg.h"
#include "art/ItemNames.h"
#include "base/ProgramSettings.h"
#include "edit/ObjectModels.h"
#include "edit/ObjectProperties.h"
#include "edit/ObjectTypes.h"
#include "edit/TopCrushModels.h"
#include "model/TrackPod.h"

#include <QMouseEvent>
#include <QPainter>

using namespace ravok;

namespace {

constexpr int kDragDelayMs = 200;
constexpr int kBoxSelectPixels = 4; // a smaller Ctrl+drag each way is a Ctrl+click

} // namespace

// ---- the mouse -------------------------------------------------------------------------

void CRavokView::objectMousePress(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    m_gesture = {};
    m_gesture.active = true;
    m_gesture.ctrl = event->modifiers() & Qt::ControlModifier;
    m_gesture.start = m_gesture.last = at;
    // Ctrl: a click or a box, told apart on release.
    if (m_gesture.ctrl) return;
    const CTrackPOD& track = m_doc.track();
    m_gesture.slot = PickNearestScreenPoint(projectedObjects(), at.x(), at.y(), kObjectPickPixels);
    m_gesture.inGroup = m_session.objects.selection.flaggedCount > 1 && IsObjectSelected(track, m_session.objects.selection, m_gesture.slot);
    PickObjectAt(at, false);
    if (m_gesture.inGroup) m_session.objects.selection.current = m_gesture.slot; // the group moves after this one
}

void CRavokView::objectMouseMove(QMouseEvent* event, std::optional<GroundPick> ground) {
    if (!m_gesture.active || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint at = event->position().toPoint();
    if (m_gesture.ctrl) {
        m_gesture.last = at;
        update(); // the box follows the mouse
        return;
    }
    CTrackPOD& track = m_doc.track();
    if (!m_pressed.isValid() || m_pressed.elapsed() < kDragDelayMs || !CanEditObjects(track)) {
        m_gesture.last = at; // movement before the drag counts turns nothing
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        const int dx = at.x() - m_gesture.last.x();
        m_gesture.last = at;
        if (dx != 0 && TurnSelectedObjects(track, m_session.objects.selection, dx)) {
            m_gesture.moved = true;
            objectsChanged("Turn Objects");
        }
        return;
    }
    m_gesture.last = at;
    if (!ground || m_session.objects.selection.current < 0) return;
    if (DragSelectedObjects(track, m_session.objects.selection, *ground)) {
        m_gesture.moved = true;
        objectsChanged("Move Objects");
    }
}

void CRavokView::objectMouseRelease(QMouseEvent* event) {
    if (!m_gesture.active) return;
    const ObjectGesture gesture = m_gesture;
    m_gesture = {};
    const QPoint at = event->position().toPoint();
    const CTrackPOD& track = m_doc.track();
    if (gesture.ctrl) {
        const bool box = std::abs(at.x() - gesture.start.x()) >= kBoxSelectPixels ||
                         std::abs(at.y() - gesture.start.y()) >= kBoxSelectPixels;
        if (box)
            AddObjectsInRect(track, m_session.objects.selection, projectedObjects(),
                             {gesture.start.x(), gesture.start.y(), at.x(), at.y()});
        else
            PickObjectAt(gesture.start, true);
        update();
        return;
    }
    // A click on a member of the group that moved nothing leaves it alone selected.
    if (gesture.inGroup && !gesture.moved) {
        m_session.objects.selection.selectOnly(gesture.slot);
        update();
    }
}

void CRavokView::paintObjectGesture(QPainter& painter) {
    if (!m_gesture.active || !m_gesture.ctrl || m_gesture.last == m_gesture.start) return;
    painter.setPen(QPen(QColor(255, 255, 0), 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(m_gesture.start, m_gesture.last).normalized());
}

void CRavokView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_session.mode == ravok::EditMode::Objects && event->button() == Qt::LeftButton) {
        m_gesture = {};
        PickObjectAt(event->position().toPoint(), false);
        if (m_session.objects.selection.current >= 0) EditObjectProperties();
        return;
    }
    mousePressEvent(event); // elsewhere a double-click is a second press
}

void CRavokView::setObjectSelection(const ObjectSelection& selection) {
    m_session.objects.selection = selection;
    NormaliseSelection(m_doc.track(), m_session.objects.selection);
    update();
}

bool CRavokView::StepObjects(const ObjectKeyAction& step) {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != EditMode::Objects || !CanEditObjects(track)) return false;
    if (!ApplyObjectStep(track, m_session.objects.selection, step)) return false;
    const char* name = "Move Objects";
    switch (step.axis) {
    case ObjectAxis::AboveGround: name = "Raise Objects"; break;
    case ObjectAxis::Heading: name = "Turn Objects"; break;
    case ObjectAxis::TiltPhi:
    case ObjectAxis::TiltTheta: name = "Tilt Objects"; break;
    case ObjectAxis::Width:
    case ObjectAxis::Length:
    case ObjectAxis::BoxHeight: name = "Size Objects"; break;
    default: break;
    }
    objectsChanged(name);
    return true;
}

void CRavokView::untrackedEdit() {
    m_session.history.markUntrackedChange();
    m_doc.setModified(true);
}

// ---- models ----------------------------------------------------------------------------

bool CRavokView::AssignModel(int modelSlot) {
    if (AssignModelToObjects(m_doc.track(), m_session.objects.selection, modelSlot) == 0) return false;
    objectsChanged("Assign Model");
    return true;
}

int CRavokView::PurgeModels() {
    const PurgeResult result = PurgeUnusedModels(m_doc.track(), m_doc.prompter());
    if (!result.notice.empty()) m_doc.prompter().inform(result.notice.text, result.notice.caption);
    if (result.removed == 0) return 0;
    untrackedEdit(); // the model table is not in the history
    emit m_doc.modelsChanged();
    return result.removed;
}

int CRavokView::CutModel(int modelSlot, bool withObjects) {
    CTrackPOD& track = m_doc.track();
    if (!CanEditObjects(track) || modelSlot < 0 || modelSlot >= kMaxModels ||
        !track.models[size_t(modelSlot)])
        return 0;
    const int touched = ravok::CutModel(track, modelSlot, withObjects, &m_session.objects.selection);
    untrackedEdit(); // the model table is not in the history
    emit m_doc.modelsChanged();
    objectsChanged("Cut Model");
    return touched;
}

// ---- type and properties ---------------------------------------------------------------

bool CRavokView::SetSelectedObjectsType(int listIndex) {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != ravok::EditMode::Objects || !CanEditObjects(track) || listIndex < 0 || listIndex >= 16) return false;
    const SetTypeResult result = ravok::SetObjectsType(track, m_session.objects.selection, listIndex);
    if (!result.notice.empty()) m_doc.prompter().inform(result.notice.text, result.notice.caption);
    if (result.changed == 0) return false;
    objectsChanged("Set Type");
    return true;
}

bool CRavokView::EditObjectProperties() {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != ravok::EditMode::Objects || !CanEditObjects(track) || m_session.objects.selection.current < 0) return false;
    const TrackObject* object = track.objects[size_t(m_session.objects.selection.current)].get();
    if (!object) return false;
    const bool sitUnits = m_settings.objectXYInSitUnits;
    CObjectPropertiesDlg dialog(ObjectPropertiesOf(*object, sitUnits), PropertiesShowSize(*object), sitUnits,
                                QString::fromStdString(m_settings.soundFolder.string()), this);
    const int modelsBefore = filledSlots(track.models);
    dialog.chooseTopCrushModels = [this](ObjectPropertiesValues& values) {
        const auto chosen = ChooseTopCrushModels(m_doc, m_settings, this);
        if (!chosen) return false;
        // The object takes them on OK; the dialog shows what it will be.
        const CTrackPOD& t = m_doc.track();
        const Model& cab = *t.models[size_t(chosen->cab)];
        const Model& base = *t.models[size_t(chosen->base)];
        values.chosenCabModel = chosen->cab;
        values.chosenBaseModel = chosen->base;
        values.cabModelName = std::string(nameInFolder(cab.name().view()));
        values.modelName = std::string(nameInFolder(base.name().view()));
        values.aboveGround = TopCrushBaseLift(base);
        return true;
    };
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const bool modelsLoaded = filledSlots(track.models) != modelsBefore;
    if (modelsLoaded) {
        // The models came into the table while the dialog was open; Cancel keeps them.
        untrackedEdit(); // the model table is not in the history
        emit m_doc.modelsChanged();
    }
    if (!accepted) return modelsLoaded;
    const ObjectPropertiesResult result =
        ApplyObjectProperties(track, m_session.objects.selection, dialog.values(), sitUnits, m_settings.soundFolder);
    for (const EditNotice& notice : result.notices)
        m_doc.prompter().inform(notice.text, notice.caption);
    if (!result.changed) return false;
    objectsChanged("Object Properties");
    return true;
}

// ---- truck starts ----------------------------------------------------------------------

bool CRavokView::ReverseTruckStart() {
    if (m_session.mode != ravok::EditMode::Course || !CanEditCourses(m_doc.track()) || !ReverseTruck(m_doc.track(), m_session.course.truck))
        return false;
    commitEdit("Reverse Truck");
    update();
    return true;
}

bool CRavokView::EditTruckProperties() {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != ravok::EditMode::Course || !CanEditCourses(track) || m_session.course.truck < 1 ||
        m_session.course.truck >= int(track.vehicles.size()))
        return false;
    CTruckPropertiesDlg dialog(TruckPropertiesOf(track, m_session.course.truck), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (!ApplyTruckProperties(track, m_session.course.truck, dialog.values())) return false;
    commitEdit("Truck Properties");
    update();
    return true;
}

// ---- ground boxes ----------------------------------------------------------------------

std::optional<int> CRavokView::selectedBoxTexture() const {
    const int texture = m_doc.selectedTexture();
    return texture >= 0 ? std::optional<int>(texture) : std::nullopt;
}

void CRavokView::setGroundBoxPaint(int mode) {
    m_session.boxes.paint = std::clamp(mode, 0, 4);
}

bool CRavokView::PaintSelectedGroundBox() {
    const int texture = m_doc.selectedTexture();
    if (m_session.mode != ravok::EditMode::GroundBoxes || m_session.boxes.paint == 0 || texture < 0 || m_session.boxes.selection.box < 0) return false;
    const GroundBoxChange change = PaintGroundBox(m_doc.track(), m_session.boxes.selection, GroundBoxPaint(m_session.boxes.paint), texture);
    boxesChanged(change, "Paint Ground Box");
    return change.changed;
}

bool CRavokView::RotateBoxFace() {
    if (m_session.mode != ravok::EditMode::GroundBoxes || m_session.boxes.selection.box < 0) return false;
    const GroundBoxChange change = RotateGroundBoxFace(m_doc.track(), m_session.boxes.selection);
    boxesChanged(change, "Rotate Box Face");
    return change.changed;
}

bool CRavokView::MirrorBoxFace() {
    if (m_session.mode != ravok::EditMode::GroundBoxes || m_session.boxes.selection.box < 0) return false;
    const GroundBoxChange change = MirrorGroundBoxFace(m_doc.track(), m_session.boxes.selection);
    boxesChanged(change, "Mirror Box Face");
    return change.changed;
}

bool CRavokView::CopyBox() {
    if (m_session.mode != ravok::EditMode::GroundBoxes) return false;
    auto copied = CopyGroundBox(m_doc.track(), m_session.boxes.selection);
    if (!copied) return false;
    m_session.boxes.clipboard = copied;
    return true;
}

bool CRavokView::CutBox() {
    if (m_session.mode != ravok::EditMode::GroundBoxes || !CanEditGroundBoxes(m_doc.track())) return false;
    const GroundBoxChange change = CutGroundBox(m_doc.track(), m_session.boxes.selection, m_session.boxes.clipboard);
    boxesChanged(change, "Cut Box");
    return change.changed;
}

bool CRavokView::PasteBox() {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != ravok::EditMode::GroundBoxes || !m_session.boxes.clipboard || !m_hovered || !CanEditGroundBoxes(track))
        return false;
    const GroundBoxChange change = PasteGroundBox(track, m_session.boxes.selection, m_hovered->x, m_hovered->y, *m_session.boxes.clipboard);
    boxesChanged(change, "Paste Box");
    return change.changed;
}
