#include "display/MatrixShaper.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace orbet {

void fitQuadratic(const double* t, const double* v, int n, double coefficients[3]) {
    double m[3][4] = {};
    for (int i = 0; i < n; ++i) {
        const double powers[3] = {1, t[i], t[i] * t[i]};
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k)
                m[r][k] += powers[r] * powers[k];
            m[r][3] += powers[r] * v[i];
        }
    }
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 3; ++r)
            if (std::abs(m[r][col]) > std::abs(m[pivot][col])) pivot = r;
        std::swap(m[col], m[pivot]);
        for (int r = 0; r < 3; ++r) {
            if (r == col) continue;
            const double f = m[r][col] / m[col][col];
            for (int k = col; k < 4; ++k)
                m[r][k] -= f * m[col][k];
        }
    }
    for (int k = 0; k < 3; ++k)
        coefficients[k] = m[k][3] / m[k][k];
}

namespace {
void fitInFloats(const double* t, const double* v, int n, float* a, float* b, float* c) {
    double coefficients[3];
    fitQuadratic(t, v, n, coefficients);
    *a = float(coefficients[0]), *b = float(coefficients[1]), *c = float(coefficients[2]);
}
} // namespace

#if defined(__x86_64__)
// GCC 12 takes the placeholders inside the 512-bit intrinsics for
// variables read before they are set.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((target("avx512f"))) void convertSixteenAtOnce(const ColourConversion::MatrixShaper& m,
                                                             uchar* p, int width) {
    const __m512i byte = _mm512_set1_epi32(0xff);
    __m512 inA[3], inB[3], inC[3], outA[3], outB[3], outC[3];
    for (int c = 0; c < 3; ++c) {
        inA[c] = _mm512_load_ps(m.toLinear[c].a), inB[c] = _mm512_load_ps(m.toLinear[c].b);
        inC[c] = _mm512_load_ps(m.toLinear[c].c);
        outA[c] = _mm512_load_ps(m.toLevel[c].a), outB[c] = _mm512_load_ps(m.toLevel[c].b);
        outC[c] = _mm512_load_ps(m.toLevel[c].c);
    }
    __m512 matrix[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            matrix[i][j] = _mm512_set1_ps(m.matrix[i][j]);
    // Below the lowest octave every curve is within a fraction of a level of
    // black; at 1 the mantissa would start the next octave.
    const __m512 lowest = _mm512_set1_ps(1.f / 65536.f), highest = _mm512_set1_ps(0.99999994f);
    auto* pixels = reinterpret_cast<quint32*>(p);
    for (int x = 0; x < width; x += 16) {
        const __mmask16 mask = width - x >= 16 ? __mmask16(0xffff) : __mmask16((1u << (width - x)) - 1);
        const __m512i v = _mm512_maskz_loadu_epi32(mask, pixels + x);
        // R, G, B in linear light. A piece is picked by the low four bits of
        // its index alone: the level's top four bits need no masking.
        __m512 linear[3];
        for (int c = 0; c < 3; ++c) {
            const __m512i level = _mm512_and_si512(_mm512_srli_epi32(v, 16 - 8 * c), byte);
            const __m512i piece = _mm512_srli_epi32(v, 20 - 8 * c);
            const __m512 t = _mm512_cvtepi32_ps(level);
            linear[c] = _mm512_fmadd_ps(_mm512_fmadd_ps(_mm512_permutexvar_ps(piece, inC[c]), t,
                                                        _mm512_permutexvar_ps(piece, inB[c])),
                                        t, _mm512_permutexvar_ps(piece, inA[c]));
        }
        __m512i result = _mm512_andnot_si512(_mm512_set1_epi32(0xffffff), v);
        __m512i rounded[3];
        for (int i = 0; i < 3; ++i) {
            __m512 y = _mm512_fmadd_ps(
                matrix[i][0], linear[0],
                _mm512_fmadd_ps(matrix[i][1], linear[1], _mm512_mul_ps(matrix[i][2], linear[2])));
            y = _mm512_min_ps(_mm512_max_ps(y, lowest), highest);
            // The octave from the exponent's bits, its low four enough.
            const __m512i piece = _mm512_srli_epi32(_mm512_castps_si512(y), 23);
            const __m512 t = _mm512_getmant_ps(y, _MM_MANT_NORM_1_2, _MM_MANT_SIGN_zero);
            const __m512 level = _mm512_fmadd_ps(_mm512_fmadd_ps(_mm512_permutexvar_ps(piece, outC[i]), t,
                                                                 _mm512_permutexvar_ps(piece, outB[i])),
                                                 t, _mm512_permutexvar_ps(piece, outA[i]));
            rounded[i] =
                _mm512_min_epi32(_mm512_max_epi32(_mm512_cvtps_epi32(level), _mm512_setzero_si512()), byte);
        }
        // R | G | B, the fourth byte kept.
        const __m512i rg =
            _mm512_or_si512(_mm512_slli_epi32(rounded[0], 16), _mm512_slli_epi32(rounded[1], 8));
        result = _mm512_ternarylogic_epi32(result, rg, rounded[2], 0xfe);
        _mm512_mask_storeu_epi32(pixels + x, mask, result);
    }
}
#pragma GCC diagnostic pop
#else
void convertSixteenAtOnce(const ColourConversion::MatrixShaper&, uchar*, int) {}
#endif

std::unique_ptr<ColourConversion::MatrixShaper> ColourConversion::MatrixShaper::from(cmsHPROFILE source,
                                                                                     cmsHPROFILE target) {
    // Both are RGB profiles here.
    if (!cmsIsMatrixShaper(source) || !cmsIsMatrixShaper(target)) return nullptr;
    const cmsTagSignature colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                          cmsSigBlueColorantTag};
    const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    double s[3][3], t[3][3];
    float linear[3][256];
    auto result = std::make_unique<MatrixShaper>();
    struct Reversed {
        cmsToneCurve* curves[3] = {};
        ~Reversed() {
            for (cmsToneCurve* c : curves)
                if (c) cmsFreeToneCurve(c);
        }
    } reversed;
    for (int c = 0; c < 3; ++c) {
        const auto* a = static_cast<const cmsCIEXYZ*>(cmsReadTag(source, colorants[c]));
        const auto* b = static_cast<const cmsCIEXYZ*>(cmsReadTag(target, colorants[c]));
        const auto* in = static_cast<const cmsToneCurve*>(cmsReadTag(source, curves[c]));
        const auto* out = static_cast<const cmsToneCurve*>(cmsReadTag(target, curves[c]));
        if (!a || !b || !in || !out) return nullptr;
        s[0][c] = a->X, s[1][c] = a->Y, s[2][c] = a->Z;
        t[0][c] = b->X, t[1][c] = b->Y, t[2][c] = b->Z;
        for (int v = 0; v < 256; ++v)
            linear[c][v] = cmsEvalToneCurveFloat(in, float(v) / 255.f);
        reversed.curves[c] = cmsReverseToneCurve(out);
        if (!reversed.curves[c]) return nullptr;
        for (int i = 0; i < kSteps; ++i) {
            const float level =
                cmsEvalToneCurveFloat(reversed.curves[c], float(i) / float(kSteps - 1)) * 255.f;
            result->fromLinear[c][i] = uchar(std::clamp(std::lround(level), 0L, 255L));
        }
        for (int earlier = 0; earlier < c; ++earlier)
            if (std::equal(result->fromLinear[c], result->fromLinear[c] + kSteps,
                           result->fromLinear[earlier])) {
                result->table[c] = earlier;
                break;
            }
    }
    // target⁻¹ · source, by the adjugate.
    const double det = t[0][0] * (t[1][1] * t[2][2] - t[1][2] * t[2][1]) -
                       t[0][1] * (t[1][0] * t[2][2] - t[1][2] * t[2][0]) +
                       t[0][2] * (t[1][0] * t[2][1] - t[1][1] * t[2][0]);
    if (std::abs(det) < 1e-9) return nullptr;
    double inv[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
            inv[i][j] = (t[i1][j1] * t[i2][j2] - t[i1][j2] * t[i2][j1]) / det;
        }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            result->matrix[i][j] = float(inv[i][0] * s[0][j] + inv[i][1] * s[1][j] + inv[i][2] * s[2][j]);
    for (int j = 0; j < 3; ++j)
        for (int v = 0; v < 256; ++v) {
            for (int i = 0; i < 3; ++i)
                result->contribution[j][v][i] = result->matrix[i][j] * linear[j][v] * (kSteps - 1);
            result->contribution[j][v][3] = 0.f;
        }
    // The pieces checked against the exact conversion of a grid.
    if (result->fitFloats(linear, reversed.curves) &&
        result->closeToExact(Route::Floats, result->exactGrid(linear, reversed.curves))) {
        result->checked |= 1u << int(Route::Floats);
        result->route = Route::Floats;
    }
    return result;
}

bool ColourConversion::MatrixShaper::fitFloats(const float linear[3][256], cmsToneCurve* const reversed[3]) {
#if defined(__x86_64__)
    if (!__builtin_cpu_supports("avx512f")) return false;
    for (int c = 0; c < 3; ++c)
        for (int piece = 0; piece < 16; ++piece) {
            double level[16], light[16];
            for (int i = 0; i < 16; ++i)
                level[i] = 16 * piece + i, light[i] = linear[c][16 * piece + i];
            fitInFloats(level, light, 16, &toLinear[c].a[piece], &toLinear[c].b[piece],
                        &toLinear[c].c[piece]);
            // The octave [2^e, 2^(e+1)) whose biased exponent 127 + e ends in
            // these four bits, for e from -16 to -1.
            const int e = piece == 15 ? -16 : piece - 15;
            constexpr int kPoints = 33;
            double mantissa[kPoints], out[kPoints];
            for (int i = 0; i < kPoints; ++i) {
                mantissa[i] = 1 + double(i) / (kPoints - 1);
                out[i] = 255. * cmsEvalToneCurveFloat(reversed[c], float(std::ldexp(mantissa[i], e)));
            }
            fitInFloats(mantissa, out, kPoints, &toLevel[c].a[piece], &toLevel[c].b[piece],
                        &toLevel[c].c[piece]);
        }
    return true;
#else
    (void)linear, (void)reversed;
    return false;
#endif
}

ColourConversion::MatrixShaper::Grid
ColourConversion::MatrixShaper::exactGrid(const float linear[3][256], cmsToneCurve* const reversed[3]) const {
    // Densest near black, where the curves bend most.
    static const int kLevels[] = {0,  1,  2,  3,  4,   5,   6,   8,   10,  12,  15,  19,  24,  30,  38,
                                  47, 58, 71, 86, 103, 122, 143, 166, 191, 217, 236, 247, 252, 254, 255};
    constexpr int kCount = int(std::size(kLevels));
    Grid grid;
    grid.pixels.reserve(kCount * kCount * kCount);
    grid.exact.reserve(3 * kCount * kCount * kCount);
    for (int r : kLevels)
        for (int g : kLevels)
            for (int b : kLevels) {
                grid.pixels.push_back(0xff000000u | quint32(r) << 16 | quint32(g) << 8 | quint32(b));
                const int in[3] = {r, g, b};
                for (int i = 0; i < 3; ++i) {
                    const double y = std::clamp(double(matrix[i][0]) * linear[0][in[0]] +
                                                    double(matrix[i][1]) * linear[1][in[1]] +
                                                    double(matrix[i][2]) * linear[2][in[2]],
                                                0., 1.);
                    grid.exact.push_back(255.f * cmsEvalToneCurveFloat(reversed[i], float(y)));
                }
            }
    return grid;
}

bool ColourConversion::MatrixShaper::closeToExact(Route by, const Grid& grid) const {
    // Within 0.9 of a level, so the result stays within one level of any
    // exact conversion rounded.
    std::vector<quint32> converted = grid.pixels;
    convert(reinterpret_cast<uchar*>(converted.data()), int(converted.size()), by);
    for (std::size_t k = 0; k < converted.size(); ++k)
        for (int i = 0; i < 3; ++i)
            if (std::abs(float(converted[k] >> (16 - 8 * i) & 0xff) - grid.exact[3 * k + i]) > 0.9f)
                return false;
    return true;
}

void ColourConversion::MatrixShaper::convert(uchar* p, int width) const {
    convert(p, width, route);
}

void ColourConversion::MatrixShaper::convert(uchar* p, int width, Route by) const {
    switch (by) {
    case Route::Floats:
        convertSixteenAtOnce(*this, p, width);
        break;
    case Route::Tables:
        convertByTables(p, width);
        break;
    }
}

void ColourConversion::MatrixShaper::convertByTables(uchar* p, int width) const {
    const uchar* red = fromLinear[table[0]];
    const uchar* green = fromLinear[table[1]];
    const uchar* blue = fromLinear[table[2]];
#if defined(__SSE2__)
    const __m128 low = _mm_setzero_ps(), high = _mm_set1_ps(float(kSteps - 1));
    for (int x = 0; x < width; ++x, p += 4) {
        __m128 sum =
            _mm_add_ps(_mm_add_ps(_mm_load_ps(contribution[0][p[2]]), _mm_load_ps(contribution[1][p[1]])),
                       _mm_load_ps(contribution[2][p[0]]));
        const __m128i index = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(sum, low), high));
        p[2] = red[_mm_cvtsi128_si32(index)];
        p[1] = green[_mm_cvtsi128_si32(_mm_shuffle_epi32(index, 1))];
        p[0] = blue[_mm_cvtsi128_si32(_mm_shuffle_epi32(index, 2))];
    }
#else
    constexpr float top = float(kSteps - 1);
    auto index = [](float v) { return int(std::min(std::max(v, 0.f), top) + 0.5f); };
    for (int x = 0; x < width; ++x, p += 4) {
        const float* r = contribution[0][p[2]];
        const float* g = contribution[1][p[1]];
        const float* b = contribution[2][p[0]];
        p[2] = red[index(r[0] + g[0] + b[0])];
        p[1] = green[index(r[1] + g[1] + b[1])];
        p[0] = blue[index(r[2] + g[2] + b[2])];
    }
#endif
}

} // namespace orbet
