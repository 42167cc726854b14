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
    m_session.textures.paintMode = on;
    if (on && m_hovered) followTextureCursor();
    update();
}

void CRavokView::SetTexturePaintSize(int width, int height) {
    m_session.textures.paintWidth = std::clamp(width, kMinPaintSize, kMaxPaintSize);
    m_session.textures.paintHeight = std::clamp(height, kMinPaintSize, kMaxPaintSize);
    storeEditState();
    if (m_session.textures.paintMode && m_hovered) followTextureCursor();
    update();
}

void CRavokView::followTextureCursor() {
    if (m_session.mode != ravok::EditMode::Textures || !m_session.textures.paintMode || !m_hovered) return;
    m_session.textures.selection =
        PaintModeRectangle(m_hovered->x, m_hovered->y, m_session.textures.paintWidth, m_session.textures.paintHeight);
}

bool CRavokView::TextureClick(GridSquare square, bool shift) {
    if (m_session.mode != ravok::EditMode::Textures) return false;
    m_hovered = square;
    if (m_session.textures.paintMode) {
        followTextureCursor();
        return FillTextures(m_doc.selectedTexture());
    }
    m_session.textures.selection = shift ? ShiftClickTextureSquare(m_session.textures.selection, square.x, square.y)
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
        if (!contains(m_session.textures.selection, *m_hovered))
            m_session.textures.selection = TextureSelection::square(m_hovered->x, m_hovered->y);
        update();
    }
}

// ---- the Texture menu ---------------------------------------------------------------------

void CRavokView::FillTextureMenu(QMenu& menu) {
    const bool any = !m_session.textures.selection.empty();
    const bool source = m_session.textures.pattern || !m_session.textures.copied.empty();
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

bool CRavokView::texturesEdited(const TextureChange& change, const char* stepName) {
    if (change.empty()) return false;
    commitEdit(stepName);
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
    if (m_session.mode != ravok::EditMode::Textures) return false;
    return texturesEdited(ravok::FillTextures(m_doc.track(), m_session.textures.selection, texture, m_session.textures.undo), "Fill Textures");
}

bool CRavokView::RotateTextures() {
    return texturesEdited(ravok::RotateTextures(m_doc.track(), m_session.textures.selection, m_session.textures.undo), "Rotate Textures");
}

bool CRavokView::MirrorTextures() {
    return texturesEdited(ravok::MirrorTextures(m_doc.track(), m_session.textures.selection, m_session.textures.undo), "Mirror Textures");
}

bool CRavokView::RotateTextureArea() {
    return texturesEdited(ravok::RotateTextureArea(m_doc.track(), m_session.textures.selection, m_session.textures.undo), "Rotate Area");
}

bool CRavokView::MirrorTextureArea() {
    return texturesEdited(ravok::MirrorTextureArea(m_doc.track(), m_session.textures.selection, m_session.textures.undo), "Mirror Area");
}

bool CRavokView::CopyTextureArea() {
    if (m_session.textures.selection.empty()) return false;
    m_session.textures.copied = ravok::CopyTextureArea(m_session.textures.selection);
    m_session.textures.pattern.reset();
    return true;
}

bool CRavokView::PasteTextureArea() {
    CTrackPOD& track = m_doc.track();
    if (m_session.textures.selection.empty()) return false;
    if (m_session.textures.pattern) {
        const PatternApplyParams params{m_settings.artFolder, m_session.textures.alwaysLoad,
                                        m_settings.keepHdArtOnly};
        const PatternApplyResult result = PastePatternArea(track, m_session.textures.selection, *m_session.textures.pattern,
                                                           params, m_doc.prompter(), m_session.textures.undo);
        if (result.texturesAdded) emit m_doc.texturesChanged();
        if (!result.stamped) return false;
        commitEdit("Paste Pattern");
        cellTexturesChanged();
        return true;
    }
    return texturesEdited(
        ravok::PasteTextureArea(track, m_session.textures.selection, m_session.textures.copied, m_session.textures.undo), "Paste Area");
}

void CRavokView::ChoosePattern(const TexturePattern* pattern) {
    if (pattern)
        m_session.textures.pattern = *pattern;
    else
        m_session.textures.pattern.reset();
}

void CRavokView::TextureRemoved(int texture) {
    auto follow = [texture](int& slot) {
        if (slot == texture)
            slot = -1;
        else if (slot > texture)
            --slot;
    };
    for (auto& row : m_session.textures.transitions.picture)
        for (int& slot : row)
            follow(slot);
    follow(m_session.textures.transitions.outer);
    RenumberUndoAfterRemoval(m_session.textures.undo, texture);
    m_session.history.textureRemoved(texture);
}

bool CRavokView::SelectTexture() {
    std::optional<GridSquare> square = m_hovered;
    if (!square && !m_session.textures.selection.empty())
        square = GridSquare{m_session.textures.selection.x0, m_session.textures.selection.y0};
    if (!square) return false;
    const int texture = TextureAtSquare(m_doc.track(), square->x, square->y);
    if (texture < 0) return false;
    m_doc.setTextureSelection(texture, {texture});
    return true;
}

bool CRavokView::ReplaceTexture() {
    if (m_session.textures.selection.empty()) return false;
    const Outcome outcome =
        ravok::ReplaceTexture(m_doc.track(), m_session.textures.selection, m_doc.selectedTexture(), m_session.textures.undo);
    if (!outcome) {
        if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    return texturesEdited(TextureSelection::whole(), "Replace Texture");
}


bool CRavokView::ApplyTextureTransitions() {
    const TextureSelection area = TransitionArea(m_session.textures.selection, m_session.textures.paintMode);
    const Outcome outcome =
        ravok::ApplyTextureTransitions(m_doc.track(), m_session.textures.transitions, area, m_session.textures.undo);
    if (!outcome) {
        if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    return texturesEdited(area, "Texture Transitions");
}

// ---- notifications and keys ---------------------------------------------------------------

bool CRavokView::textureNotification(ViewCommand command, int value) {
    switch (command) {
    case ViewCommand::ApplyTexture:
        if (m_session.mode != EditMode::Textures) return false;
        FillTextures(value);
        return true;
    case ViewCommand::TexturePaintMode:
        SetTexturePaintMode(value != 0);
        return true;
    case ViewCommand::AutoTransitions:
        ApplyTextureTransitions();
        return true;
    case ViewCommand::PaletteChanged:
        m_displayColours = DisplayColourIndicesFor(m_doc.track().palette);
        return false; // the refresh follows
    default:
        return false;
    }
}

// ---- drawing ------------------------------------------------------------------------------

void CRavokView::paintTextureOverlay(QPainter& painter) {
    const TextureSelection& s = m_session.textures.selection;
    if (m_session.mode != ravok::EditMode::Textures || s.empty()) return;
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
