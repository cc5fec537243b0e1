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
// Where the processor has 512-bit vectors, many pixels go at once, as
// tables cannot be read that way at any speed. With byte permutes and half
// precision (Words), sixty-four at a time: the input curves are byte tables
// held in registers, and the matrix and the output curve, read off quadratic
// pieces by half octave, run in half precision.
// Otherwise (Floats) sixteen at a time in single precision, each curve read
// off sixteen quadratic pieces (the input's by level, the output's by
// octave). Either is checked against the exact conversion before use; curves
// they do not follow closely enough keep the tables, and a wide gamut's
// matrix, whose large terms of both signs half precision does not hold,
// keeps the sixteen at a time.
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

    // The same in half precision: linear light as low and high bytes by
    // input level, the matrix with the terms each row has, and the output
    // level as a + b t + c t² over the 32 half octaves that the bits of the
    // linear light pick, t its mantissa.
    struct Words {
        alignas(64) uchar low[3][256];
        alignas(64) uchar high[3][256];
        alignas(64) quint16 a[3][32];
        alignas(64) quint16 b[3][32];
        alignas(64) quint16 c[3][32];
        quint16 matrix[3][3];
        // Bit j: the row has a term of input channel j.
        unsigned terms[3];
    };
    Words words;

    enum class Route { Tables, Floats, Words };
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
    bool fitWords(const float linear[3][256], cmsToneCurve* const reversed[3]);
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

// The kernels, each built for the processor features it needs.
void convertSixteenAtOnce(const ColourConversion::MatrixShaper& m, uchar* p, int width);
void convertSixtyFourAtOnce(const ColourConversion::MatrixShaper::Words& w, uchar* p, int width);

} // namespace orbet
