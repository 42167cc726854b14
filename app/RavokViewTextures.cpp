// Texture mode of the track view: the selection of grid squares, paint mode,
// the Texture menu's commands, the one level of texture undo and the auto
// transitions. The work itself is done by the core's texture painting.
#include "app/RavokView.h"

#include "app/RavokDoc.h"
#include "base/ProgramSettings.h"
#include "edit/TextureRemoval.h"
#include "model/TrackPod.h"
#include "render/TerrainPicking.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

using namespace ravok;

namespace {

bool contains(const TextureSelection& s, const GridSquare& q) {
    return !s.empty() && q.x >= s.x0 && q.x <= s.x1 && q.y >= s.y0 && q.y <= s.y1;
}

} // namespace

// ---- selection and paint mode ------------------------------------------------------------

void CRavokView::SetTexturePaintMode(bool on) {
    m_textures.paintMode = on;
    if (on && m_hovered) followTextureCursor();
    update();
}

void CRavokView::SetTexturePaintSize(int width, int height) {
    m_textures.paintWidth = std::clamp(width, kMinPaintSize, kMaxPaintSize);
    m_textures.paintHeight = std::clamp(height, kMinPaintSize, kMaxPaintSize);
    if (m_textures.paintMode && m_hovered) followTextureCursor();
    update();
}

void CRavokView::followTextureCursor() {
    if (m_mode != kEditTextures || !m_textures.paintMode || !m_hovered) return;
    m_textures.selection =
        PaintModeRectangle(m_hovered->x, m_hovered->y, m_textures.paintWidth, m_textures.paintHeight);
}

bool CRavokView::TextureClick(GridSquare square, bool shift) {
    if (m_mode != kEditTextures) return false;
    m_hovered = square;
    if (m_textures.paintMode) {
        followTextureCursor();
        return FillTextures(m_doc.selectedTexture());
    }
    m_textures.selection = shift ? ShiftClickTextureSquare(m_textures.selection, square.x, square.y)
                                 : ClickTextureSquare(square.x, square.y);
    update();
    return true;
}

void CRavokView::textureMousePress(QMouseEvent* event) {
    if (!m_hovered) return;
    if (event->button() == Qt::LeftButton) {
        TextureClick(*m_hovered, event->modifiers() & Qt::ShiftModifier);
    } else if (event->button() == Qt::RightButton) {
        // A right-click outside the selection first selects the square under
        // the cursor; the context menu that follows acts on it.
        if (!contains(m_textures.selection, *m_hovered))
            m_textures.selection = TextureSelection::square(m_hovered->x, m_hovered->y);
        update();
    }
}

// ---- the Texture menu ---------------------------------------------------------------------

void CRavokView::FillTextureMenu(QMenu& menu) {
    const bool any = !m_textures.selection.empty();
    const bool source = m_textures.pattern || !m_textures.copied.empty();
    auto add = [&](const QString& text, auto slot, bool enabled) {
        QAction* action = menu.addAction(text, this, slot);
        action->setEnabled(enabled);
        return action;
    };
    add(QStringLiteral("Rotate 90°\tCtrl+R"), &CRavokView::RotateTextures, any);
    add(QStringLiteral("Mirror\tCtrl+M"), &CRavokView::MirrorTextures, any);
    add(QStringLiteral("Rotate Area 90°\tR"), &CRavokView::RotateTextureArea, any);
    add(QStringLiteral("Mirror Area\tM"), &CRavokView::MirrorTextureArea, any);
    menu.addSeparator();
    add(QStringLiteral("Copy Area"), &CRavokView::CopyTextureArea, any);
    add(QStringLiteral("Paste Area\tCtrl+V"), &CRavokView::PasteTextureArea, any && source);
    menu.addSeparator();
    add(QStringLiteral("Select"), &CRavokView::SelectTexture, bool(m_hovered) || any);
    add(QStringLiteral("Replace"), &CRavokView::ReplaceTexture, any);
    menu.addSeparator();
    add(QStringLiteral("Display Textures Box"), &CRavokView::texturesBoxWanted, true);
    add(QStringLiteral("Display Patterns Box"), &CRavokView::patternsBoxWanted, true);
}

bool CRavokView::texturesEdited(const TextureChange& change) {
    if (change.empty()) return false;
    m_doc.setModified(true);
    cellTexturesChanged();
    return true;
}

void CRavokView::cellTexturesChanged() {
    // Only the terrain's cells changed, never the textures themselves: the
    // terrain follows, and the OpenGL pages whose key changed are built again.
    rebuildScene();
    update();
}

bool CRavokView::FillTextures(int texture) {
    if (m_mode != kEditTextures) return false;
    return texturesEdited(ravok::FillTextures(m_doc.track(), m_textures.selection, texture, m_textures.undo));
}

bool CRavokView::RotateTextures() {
    return texturesEdited(ravok::RotateTextures(m_doc.track(), m_textures.selection, m_textures.undo));
}

bool CRavokView::MirrorTextures() {
    return texturesEdited(ravok::MirrorTextures(m_doc.track(), m_textures.selection, m_textures.undo));
}

bool CRavokView::RotateTextureArea() {
    return texturesEdited(ravok::RotateTextureArea(m_doc.track(), m_textures.selection, m_textures.undo));
}

bool CRavokView::MirrorTextureArea() {
    return texturesEdited(ravok::MirrorTextureArea(m_doc.track(), m_textures.selection, m_textures.undo));
}

bool CRavokView::CopyTextureArea() {
    if (m_textures.selection.empty()) return false;
    m_textures.copied = ravok::CopyTextureArea(m_textures.selection);
    m_textures.pattern.reset();
    return true;
}

bool CRavokView::PasteTextureArea() {
    CTrackPOD& track = m_doc.track();
    if (m_textures.selection.empty()) return false;
    if (m_textures.pattern) {
        const PatternApplyParams params{m_settings.artFolder, m_textures.alwaysLoad,
                                        m_settings.keepHdArtOnly};
        const PatternApplyResult result = PastePatternArea(track, m_textures.selection, *m_textures.pattern,
                                                           params, m_doc.prompter(), m_textures.undo);
        if (result.texturesAdded) emit m_doc.texturesChanged();
        if (!result.stamped) return false;
        m_doc.setModified(true);
        cellTexturesChanged();
        return true;
    }
    return texturesEdited(
        ravok::PasteTextureArea(track, m_textures.selection, m_textures.copied, m_textures.undo));
}

void CRavokView::ChoosePattern(const TexturePattern* pattern) {
    if (pattern)
        m_textures.pattern = *pattern;
    else
        m_textures.pattern.reset();
}

void CRavokView::TextureRemoved(int texture) {
    auto follow = [texture](int& slot) {
        if (slot == texture)
            slot = -1;
        else if (slot > texture)
            --slot;
    };
    for (auto& row : m_textures.transitions.picture)
        for (int& slot : row)
            follow(slot);
    follow(m_textures.transitions.outer);
    RenumberUndoAfterRemoval(m_textures.undo, texture);
}

bool CRavokView::SelectTexture() {
    std::optional<GridSquare> square = m_hovered;
    if (!square && !m_textures.selection.empty())
        square = GridSquare{m_textures.selection.x0, m_textures.selection.y0};
    if (!square) return false;
    const int texture = TextureAtSquare(m_doc.track(), square->x, square->y);
    if (texture < 0) return false;
    m_doc.setTextureSelection(texture, {texture});
    return true;
}

bool CRavokView::ReplaceTexture() {
    if (m_textures.selection.empty()) return false;
    const Outcome outcome =
        ravok::ReplaceTexture(m_doc.track(), m_textures.selection, m_doc.selectedTexture(), m_textures.undo);
    if (!outcome) {
        if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    return texturesEdited(TextureSelection::whole());
}

bool CRavokView::UndoTextures() {
    if (!UndoTextureEdit(m_doc.track(), m_textures.undo)) return false;
    m_doc.setModified(true);
    cellTexturesChanged();
    return true;
}

bool CRavokView::ApplyTextureTransitions() {
    const TextureSelection area = TransitionArea(m_textures.selection, m_textures.paintMode);
    const Outcome outcome =
        ravok::ApplyTextureTransitions(m_doc.track(), m_textures.transitions, area, m_textures.undo);
    if (!outcome) {
        if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    return texturesEdited(area);
}

// ---- notifications and keys ---------------------------------------------------------------

bool CRavokView::textureNotification(int code, int value) {
    switch (code) {
    case 9:
        if (m_mode != kEditTextures) return false;
        FillTextures(value);
        return true;
    case 27:
        SetTexturePaintMode(value != 0);
        return true;
    case 39:
        ApplyTextureTransitions();
        return true;
    case 40:
        m_displayColours = DisplayColourIndicesFor(m_doc.track().palette);
        return false; // the refresh follows
    default:
        return false;
    }
}

bool CRavokView::textureKey(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Space:
        FillTextures(m_doc.selectedTexture());
        return true;
    case Qt::Key_R:
    case Qt::Key_M:
        // One turn or mirror a press: held keys do not repeat.
        if (event->isAutoRepeat()) return true;
        if (event->key() == Qt::Key_R)
            ctrl ? RotateTextures() : RotateTextureArea();
        else
            ctrl ? MirrorTextures() : MirrorTextureArea();
        return true;
    default:
        return false;
    }
}

// ---- drawing ------------------------------------------------------------------------------

void CRavokView::paintTextureOverlay(QPainter& painter) {
    const TextureSelection& s = m_textures.selection;
    if (m_mode != kEditTextures || s.empty()) return;
    const FrameBuffer frame = pickingFrame();
    const CameraMatrix matrix = CameraMatrixOf(m_camera);
    const double sx = double(width()) / frame.width, sy = double(height()) / frame.height;
    const CTrackPOD& track = m_doc.track();
    // The rectangle's edge at the corners of its squares, following the
    // ground; the edge breaks where it leaves the view.
    painter.setPen(QPen(QColor(255, 255, 0), 2));
    QPolygonF edge;
    auto flush = [&] {
        if (edge.size() > 1) painter.drawPolyline(edge);
        edge.clear();
    };
    auto add = [&](int gx, int gy) {
        const int hx = std::min(gx, 255), hy = std::min(gy, 255);
        if (const auto p =
                ProjectWorldPoint(matrix, frame, gx * 64, gy * 64, track.terrain.height(hx, hy) * 3))
            edge << QPointF((*p)[0] * sx, (*p)[1] * sy);
        else
            flush();
    };
    const int x1 = s.x1 + 1, y1 = s.y1 + 1;
    for (int x = s.x0; x < x1; ++x)
        add(x, s.y0);
    for (int y = s.y0; y < y1; ++y)
        add(x1, y);
    for (int x = x1; x > s.x0; --x)
        add(x, y1);
    for (int y = y1; y >= s.y0; --y)
        add(s.x0, y);
    flush();
}
