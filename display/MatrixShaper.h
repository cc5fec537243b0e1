#pragma once

#include <memory>

#include <lcms2.h>

#include "display/ColourProfile.h"

namespace orbet {

// Both profiles a matrix and three curves (every camera and phone profile,
// and the sRGB of a display without one): a table per input channel to
// linear light, the matrix between the two, and a fine table back. A few
// nanoseconds a pixel, where LittleCMS's general 8-bit path takes ten
// times that; within a level of the exact conversion.
//
// Where the processor has 512-bit vectors, sixteen pixels go at once: each
// curve is then read off sixteen quadratic pieces held in registers (the
// input's by level, the output's by octave of linear light), as tables
// cannot be read sixteen at a time at any speed. The pieces are fitted to
// the curves and checked against the exact conversion before use; curves
// they do not follow closely enough keep the tables.
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
    bool wide = false;

    static std::unique_ptr<MatrixShaper> from(cmsHPROFILE source, cmsHPROFILE target);
    // One row of 32-bit pixels (B, G, R, X in memory), in place.
    void convert(uchar* p, int width) const;
    // The same through the tables alone, whatever the processor.
    void convertByTables(uchar* p, int width) const;

private:
    bool fitPieces(const float linear[3][256], cmsToneCurve* const reversed[3]);
};

}  // namespace orbet
