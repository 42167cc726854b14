// The stock icons: small pictures of the race types and track kinds, drawn
// here so that the program needs no picture files.
#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "art/PictureSlots.h"

#include <array>
#include <cmath>
#include <functional>

namespace ravok {

namespace {

constexpr int kWidth = 32, kHeight = 24;

using Colour = std::array<uint8_t, 3>; // red, green, blue

// A 32 x 24 canvas of blue-green-red rows, top to bottom.
class Canvas {
public:
    explicit Canvas(Colour background) : m_stride(DibStride(kWidth)), m_bgr(m_stride * kHeight, 0) {
        fill([](int, int) { return true; }, background);
    }
    // Paints every pixel for which `inside` holds.
    void fill(const std::function<bool(int x, int y)>& inside, Colour c) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (inside(x, y)) {
                    uint8_t* p = m_bgr.data() + size_t(y) * m_stride + size_t(x) * 3;
                    p[0] = c[2], p[1] = c[1], p[2] = c[0];
                }
    }
    std::vector<uint8_t> bitmap() const {
        std::string message;
        return BuildBmp8(m_bgr.data(), kWidth, kHeight, m_stride, kWidth, kHeight, message).value_or(
            std::vector<uint8_t>());
    }

private:
    size_t m_stride;
    std::vector<uint8_t> m_bgr;
};

constexpr Colour kGrass{70, 140, 60}, kDirt{150, 110, 70}, kSky{120, 170, 230}, kRoad{90, 90, 95},
    kWhite{240, 240, 240}, kRed{200, 40, 30}, kSand{220, 190, 120}, kMud{100, 70, 40}, kNight{20, 25, 60},
    kYellow{250, 220, 60};

// Squared distance of a pixel centre from the picture's centre, on an ellipse of radii rx, ry.
double ellipse(int x, int y, double rx, double ry) {
    const double dx = (x + 0.5 - kWidth / 2.0) / rx, dy = (y + 0.5 - kHeight / 2.0) / ry;
    return dx * dx + dy * dy;
}

std::vector<uint8_t> circuit() {
    Canvas c(kGrass);
    c.fill([](int x, int y) { return ellipse(x, y, 14, 10) <= 1.0 && ellipse(x, y, 9, 5) > 1.0; }, kRoad);
    c.fill([](int x, int y) { return x >= 15 && x <= 16 && y >= 19; }, kWhite);
    return c.bitmap();
}

std::vector<uint8_t> rally() {
    Canvas c(kGrass);
    c.fill([](int x, int y) { return std::abs(x - (16 + int(8 * std::sin(y * 0.45)))) <= 3; }, kDirt);
    return c.bitmap();
}

std::vector<uint8_t> rumble() {
    Canvas c(kSand);
    c.fill([](int x, int y) { return ellipse(x, y, 15, 11) > 1.0; }, kRed);
    c.fill([](int x, int y) { return ellipse(x, y, 4, 3) <= 1.0; }, kMud);
    return c.bitmap();
}

std::vector<uint8_t> drag() {
    Canvas c(kSand);
    c.fill([](int, int y) { return y >= 6 && y <= 17; }, kRoad);
    c.fill([](int x, int y) { return y == 11 && x % 4 < 2; }, kWhite);
    c.fill([](int x, int y) { return x >= 28 && y >= 6 && y <= 17 && (x + y) % 2 == 0; }, kWhite);
    return c.bitmap();
}

std::vector<uint8_t> mountain() {
    Canvas c(kSky);
    c.fill([](int x, int y) { return y >= 6 + std::abs(x - 16) * 18 / 16; }, kDirt);
    c.fill([](int x, int y) { return y < 10 && y >= 6 + std::abs(x - 16) * 18 / 16; }, kWhite);
    return c.bitmap();
}

std::vector<uint8_t> night() {
    Canvas c(kNight);
    c.fill([](int x, int y) { return (x - 24) * (x - 24) + (y - 6) * (y - 6) <= 12; }, kYellow);
    c.fill([](int, int y) { return y >= 18; }, kRoad);
    return c.bitmap();
}

} // namespace

const std::vector<StockIcon>& StockIcons() {
    static const std::vector<StockIcon> icons = {
        {"Circuit", circuit()}, {"Rally", rally()},       {"Rumble", rumble()},
        {"Drag", drag()},       {"Mountain", mountain()}, {"Night", night()},
    };
    return icons;
}

} // namespace ravok
