#pragma once

#include <memory>
#include <vector>

#include <lcms2.h>

#include "display/ColourProfile.h"

namespace orbet {

// Both profiles a matrix and three curves (every camera and phone profile,
// and the sRGB of a display without one): a table per input channel to
// linear light, the matrix between the two, and a fine table back. A few
// nanoseconds a pixel, where LittleCMS's general 8-bit path takes ten
// times that; within a level of the exact conversion.
//
// Where the processor has 512-bit vectors, sixteen pixels go at once
// (Floats), as tables cannot be read that way at any speed: single
// precision, each curve read off sixteen quadratic pieces (the input's by
// level, the output's by octave), checked against the exact conversion
// before use; curves the pieces do not follow closely enough keep the
// tables.
struct ColourConversion::MatrixShaper {
    static constexpr int kSteps = 16384;
    // What each level of each input channel adds to the three target
    // channels in linear light, scaled to the steps of the table back: a
    // pixel is three look-ups and two additions of four-wide vectors.
    alignas(16) float contribution[3][256][4];
    // One table when the target's three curves are one (sRGB's are), so
    // it stays in the first-level cache beside the decoder's own.
    uchar fromLinear[3][kSteps];
    int table[3] = {0, 1, 2};

    // The quadratic pieces: a + b t + c t², t the input level, or the
    // mantissa (1 to 2) of the linear light in the piece's octave, giving
    // the output level.
    struct Pieces {
        alignas(64) float a[16];
        alignas(64) float b[16];
        alignas(64) float c[16];
    };
    Pieces toLinear[3];
    Pieces toLevel[3];
    // Target from source in linear light, rows the target channels (R, G, B).
    float matrix[3][3];

    enum class Route { Tables, Floats };
    // The fastest route the processor offers and the check let through.
    Route route = Route::Tables;
    bool offers(Route r) const { return r == Route::Tables || (checked & (1u << int(r))); }

    static std::unique_ptr<MatrixShaper> from(cmsHPROFILE source, cmsHPROFILE target);
    // One row of 32-bit pixels (B, G, R, X in memory), in place.
    void convert(uchar* p, int width) const;
    // The same by the given route, which must be offered.
    void convert(uchar* p, int width, Route by) const;
    // The same through the tables alone, whatever the processor.
    void convertByTables(uchar* p, int width) const;

  private:
    unsigned checked = 0;
    bool fitFloats(const float linear[3][256], cmsToneCurve* const reversed[3]);
    // The grid of pixels the routes are checked on, and its exact
    // conversion (three levels a pixel, not rounded).
    struct Grid {
        std::vector<quint32> pixels;
        std::vector<float> exact;
    };
    Grid exactGrid(const float linear[3][256], cmsToneCurve* const reversed[3]) const;
    bool closeToExact(Route by, const Grid& grid) const;
};

// The quadratic a + b t + c t² nearest to the points in the least squares.
void fitQuadratic(const double* t, const double* v, int n, double coefficients[3]);

// The kernel, built for the processor features it needs.
void convertSixteenAtOnce(const ColourConversion::MatrixShaper& m, uchar* p, int width);

} // namespace orbet
