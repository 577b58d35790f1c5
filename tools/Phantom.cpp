#include "tools/Phantom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kavex::sample
{
namespace
{

constexpr uint16_t Level(int v8)
{
    return uint16_t(v8 * 257);
}

// Noise amplitude in 16-bit units: a triangular spread of about +-2 grey levels of an 8-bit slice.
constexpr int32_t kNoiseBits = 9;

} // namespace

const std::vector<Ellipsoid>& CPhantom::Shapes()
{
    static const std::vector<Ellipsoid> shapes = {
        {0.00, 0.00, 0.00, 0.72, 0.92, 0.90, 0, Level(200)},    // shell
        {0.00, -0.02, 0.00, 0.66, 0.86, 0.84, 0, Level(90)},    // soft tissue
        {0.22, 0.00, 0.10, 0.11, 0.31, 0.25, -18, Level(40)},   // cavity
        {-0.22, 0.00, 0.10, 0.16, 0.41, 0.30, 18, Level(40)},   // cavity
        {0.00, 0.35, -0.20, 0.21, 0.25, 0.20, 0, Level(130)},   // dense region
        {0.00, 0.10, -0.10, 0.046, 0.046, 0.05, 0, Level(150)}, // small inclusions
        {-0.08, -0.60, 0.00, 0.046, 0.023, 0.05, 0, Level(160)},
        {0.06, -0.60, 0.05, 0.023, 0.046, 0.05, 0, Level(160)},
        {0.30, -0.40, -0.35, 0.08, 0.06, 0.12, 30, Level(240)}, // bone-like insert
        {-0.35, 0.45, 0.40, 0.05, 0.05, 0.05, 0, Level(10)},    // air pocket
    };
    return shapes;
}

CPhantom::CPhantom(int32_t width, int32_t height, int32_t slices, uint32_t seed)
    : m_width(width), m_height(height), m_slices(slices), m_state(seed ? seed : 1u),
      m_front(size_t(width) * size_t(slices)), m_side(size_t(height) * size_t(slices)),
      m_columnSums(size_t(width))
{
}

// Fills the spans of one row: for each ellipsoid cut by the slice, the points of the row inside
// the rotated ellipse (p/a)^2 + (q/b)^2 <= 1 form one interval, the roots of a quadratic in x.
void CPhantom::PaintRow(int32_t y, double zn, uint16_t* row) const
{
    std::fill(row, row + m_width, uint16_t(0));
    const double yn = (2.0 * y + 1.0) / m_height - 1.0;
    for (const Ellipsoid& e : Shapes())
    {
        const double dz = (zn - e.cz) / e.rz;
        if (dz * dz >= 1.0) continue;
        const double scale = std::sqrt(1.0 - dz * dz);
        const double a = e.rx * scale, b = e.ry * scale;
        const double t = e.angleDeg * std::numbers::pi / 180.0;
        const double c = std::cos(t), s = std::sin(t);
        const double v = yn - e.cy;
        const double qa = c * c / (a * a) + s * s / (b * b);
        const double qb = 2.0 * v * s * c * (1.0 / (a * a) - 1.0 / (b * b));
        const double qc = v * v * (s * s / (a * a) + c * c / (b * b)) - 1.0;
        const double disc = qb * qb - 4.0 * qa * qc;
        if (disc <= 0.0) continue;
        const double root = std::sqrt(disc);
        const double u0 = (-qb - root) / (2.0 * qa) + e.cx, u1 = (-qb + root) / (2.0 * qa) + e.cx;
        // Pixel x covers the centre (2x + 1) / W - 1.
        const int32_t x0 = std::max<int32_t>(0, int32_t(std::ceil(((u0 + 1.0) * m_width - 1.0) / 2.0)));
        const int32_t x1 =
            std::min<int32_t>(m_width - 1, int32_t(std::floor(((u1 + 1.0) * m_width - 1.0) / 2.0)));
        if (x0 <= x1) std::fill(row + x0, row + x1 + 1, e.density);
    }
}

void CPhantom::AddNoise(uint16_t* row)
{
    uint32_t x = m_state;
    for (int32_t i = 0; i < m_width; ++i)
    {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const int32_t mask = (1 << kNoiseBits) - 1;
        const int32_t noise = int32_t(x & mask) + int32_t((x >> 16) & mask) - mask;
        row[i] = uint16_t(std::clamp<int32_t>(row[i] + noise, 0, 65535));
    }
    m_state = x;
}

void CPhantom::Project(int32_t z, const uint16_t* slice)
{
    std::fill(m_columnSums.begin(), m_columnSums.end(), 0);
    uint16_t* side = m_side.data() + size_t(z) * size_t(m_height);
    for (int32_t y = 0; y < m_height; ++y)
    {
        const uint16_t* row = slice + size_t(y) * size_t(m_width);
        uint64_t rowSum = 0;
        for (int32_t x = 0; x < m_width; ++x)
        {
            rowSum += row[x];
            m_columnSums[size_t(x)] += row[x];
        }
        side[y] = uint16_t(rowSum / uint64_t(m_width));
    }
    uint16_t* front = m_front.data() + size_t(z) * size_t(m_width);
    for (int32_t x = 0; x < m_width; ++x)
        front[x] = uint16_t(m_columnSums[size_t(x)] / uint64_t(m_height));
}

void CPhantom::RenderSlice(int32_t z, uint16_t* out)
{
    const double zn = (2.0 * z + 1.0) / m_slices - 1.0;
    for (int32_t y = 0; y < m_height; ++y)
    {
        uint16_t* row = out + size_t(y) * size_t(m_width);
        PaintRow(y, zn, row);
        AddNoise(row);
    }
    Project(z, out);
}

} // namespace kavex::sample
