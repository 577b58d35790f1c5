#pragma once
// A synthetic CT volume: nested ellipsoids of several densities with mild noise, rendered one
// slice at a time. Densities are 16-bit (0 = air); later ellipsoids paint over earlier ones.
// Rendering works on row spans solved in closed form, so a 1024 x 1024 slice costs about a
// millisecond, and the two side projections are gathered while the slices are rendered.

#include <cstdint>
#include <vector>

namespace kavex::sample
{

struct Ellipsoid
{
    // Centre and radii in volume coordinates, each axis running from -1 to 1.
    double cx, cy, cz;
    double rx, ry, rz;
    double angleDeg; // rotation about the slice axis
    uint16_t density;
};

class CPhantom
{
public:
    CPhantom(int32_t width, int32_t height, int32_t slices, uint32_t seed = 0x2545F491u);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int32_t Slices() const { return m_slices; }

    // Writes slice z (0 = first) into out, width x height samples, row 0 at the top, and adds
    // the slice to the projections.
    void RenderSlice(int32_t z, uint16_t* out);

    // Mean over y of every column: width x slices, row z = slice z.
    const std::vector<uint16_t>& FrontProjection() const { return m_front; }
    // Mean over x of every row: height x slices, row z = slice z.
    const std::vector<uint16_t>& SideProjection() const { return m_side; }

    static const std::vector<Ellipsoid>& Shapes();

private:
    void PaintRow(int32_t y, double zn, uint16_t* row) const;
    void AddNoise(uint16_t* row);
    void Project(int32_t z, const uint16_t* slice);

    int32_t m_width, m_height, m_slices;
    uint32_t m_state;
    std::vector<uint16_t> m_front;
    std::vector<uint16_t> m_side;
    std::vector<uint64_t> m_columnSums; // scratch of the front projection
};

} // namespace kavex::sample
