#include "display/MatrixShaper.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace orbet {

bool ColourConversion::MatrixShaper::fitWords(const float linear[3][256], cmsToneCurve* const reversed[3]) {
#if defined(__x86_64__)
    if (!__builtin_cpu_supports("avx512bw") || !__builtin_cpu_supports("avx512vbmi") ||
        !__builtin_cpu_supports("avx512fp16"))
        return false;
    auto half = [](double v) {
        const _Float16 h = _Float16(v);
        quint16 bits;
        std::memcpy(&bits, &h, 2);
        return bits;
    };
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) {
            const quint16 x = half(std::clamp(double(linear[c][v]), 0., 1.));
            words.low[c][v] = uchar(x & 0xff), words.high[c][v] = uchar(x >> 8);
        }
    // Terms of nothing are left out. The output's pieces end at 2, where
    // the exponent would wrap. A row that could reach it (a wide gamut's)
    // has large terms of both signs, whose difference near black half
    // precision does not hold to a level anyway.
    for (int i = 0; i < 3; ++i) {
        double positive = 0;
        words.terms[i] = 0;
        for (int j = 0; j < 3; ++j) {
            positive += std::max(0.f, matrix[i][j]);
            words.matrix[i][j] = half(matrix[i][j]);
            if (std::abs(matrix[i][j]) >= 1e-4f) words.terms[i] |= 1u << j;
        }
        if (positive >= 1.99) return false;
    }
    // Piece i covers the half octave whose half-precision bits, shifted
    // right by 9, are i: exponent e = i / 2 and half q = i % 2, that is
    // 2^(e - 15) t with the mantissa t from 1 + q / 2 to 1.5 + q / 2. Below
    // the smallest normal number (e = 0) the mantissa says nothing of the
    // size, and the output is within a fraction of a level of black there
    // for any curve the check lets through: the piece is its mean. Linear
    // light of 1 and more (e = 15) is white.
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 32; ++i) {
            const int e = i / 2, q = i % 2;
            constexpr int kPoints = 33;
            double t[kPoints], level[kPoints];
            for (int n = 0; n < kPoints; ++n) {
                const double rest = double(n) / (kPoints - 1);
                t[n] = 1 + (q + rest) / 2;
                const double y = e == 0 ? std::ldexp(q + rest, -15) : std::ldexp(t[n], e - 15);
                level[n] = 255. * cmsEvalToneCurveFloat(reversed[c], float(std::min(y, 1.)));
            }
            double coefficients[3] = {0, 0, 0};
            if (e == 0) {
                for (double l : level)
                    coefficients[0] += l / kPoints;
            } else {
                fitQuadratic(t, level, kPoints, coefficients);
            }
            words.a[c][i] = half(coefficients[0]);
            words.b[c][i] = half(coefficients[1]);
            words.c[c][i] = half(coefficients[2]);
        }
    return true;
#else
    (void)linear, (void)reversed;
    return false;
#endif
}

#if defined(__x86_64__)
namespace {

#define ORBET_WORDS_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512fp16")))

// Byte positions for the permutes between four registers of sixteen pixels
// (B, G, R, X) and three planes of sixty-four bytes, one per channel.
struct Shuffles {
    alignas(64) uchar redGreen[64]; // R of the pair's 32 pixels, then G
    alignas(64) uchar blue[64];     // B of the pair's 32 pixels, twice
    // Register k's pixels from R and G as packed by eights (see below) and
    // the plane of B.
    alignas(64) uchar join[4][64];
    Shuffles() {
        std::memset(this, 0, sizeof *this);
        for (int j = 0; j < 64; ++j) {
            redGreen[j] = uchar(j < 32 ? 4 * j + 2 : 4 * (j - 32) + 1);
            blue[j] = uchar(4 * (j % 32));
        }
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < 16; ++i) {
                const int eights = 16 * (k % 2 + (i < 8 ? 0 : 2)) + i % 8;
                join[k][4 * i + 2] = uchar(eights);
                join[k][4 * i + 1] = uchar(eights + 8);
                join[k][4 * i] = uchar(64 + 16 * k + i);
            }
    }
};
constexpr __mmask64 kFourth = 0x8888888888888888ull;

// A 256-entry byte table read by every byte of index at once.
ORBET_WORDS_TARGET inline __attribute__((always_inline)) __m512i lookUp(const uchar* table, __m512i index,
                                                                        __mmask64 upper) {
    const __m512i lower =
        _mm512_permutex2var_epi8(_mm512_load_si512(table), index, _mm512_load_si512(table + 64));
    const __m512i higher =
        _mm512_permutex2var_epi8(_mm512_load_si512(table + 128), index, _mm512_load_si512(table + 192));
    return _mm512_mask_blend_epi8(upper, lower, higher);
}

// One register of pieces: a permute between two registers takes twice as
// long, and the permutes bound the whole conversion.
ORBET_WORDS_TARGET inline __attribute__((always_inline)) __m512h piece(const quint16* table, __m512i index) {
    return _mm512_castsi512_ph(_mm512_permutexvar_epi16(index, _mm512_load_si512(table)));
}

} // namespace

// GCC 12 takes the placeholders inside the 512-bit intrinsics for
// variables read before they are set.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
ORBET_WORDS_TARGET void convertSixtyFourAtOnce(const ColourConversion::MatrixShaper::Words& w, uchar* p,
                                               int width) {
    static const Shuffles s;
    __m512h matrix[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            matrix[i][j] = _mm512_castsi512_ph(_mm512_set1_epi16(short(w.matrix[i][j])));
    auto* pixels = reinterpret_cast<quint32*>(p);
    for (int x = 0; x < width; x += 64) {
        // A last part of fewer than sixty-four pixels is read and written
        // under masks, the rest taken as black.
        quint32* at = pixels + x;
        __mmask16 mask[4];
        __m512i v[4];
        for (int k = 0; k < 4; ++k) {
            const int count = std::clamp(width - x - 16 * k, 0, 16);
            mask[k] = __mmask16((1u << count) - 1);
            v[k] = _mm512_maskz_loadu_epi32(mask[k], at + 16 * k);
        }
        const __m512i redGreen = _mm512_load_si512(s.redGreen), blue = _mm512_load_si512(s.blue);
        const __m512i first = _mm512_permutex2var_epi8(v[0], redGreen, v[1]);
        const __m512i second = _mm512_permutex2var_epi8(v[2], redGreen, v[3]);
        const __m512i plane[3] = {_mm512_shuffle_i64x2(first, second, 0x44),
                                  _mm512_shuffle_i64x2(first, second, 0xee),
                                  _mm512_mask_blend_epi64(0xf0, _mm512_permutex2var_epi8(v[0], blue, v[1]),
                                                          _mm512_permutex2var_epi8(v[2], blue, v[3]))};
        // Linear light, two registers of words a channel; unpacking and the
        // packing at the end undo each other's order.
        __m512i light[3][2];
        for (int c = 0; c < 3; ++c) {
            const __mmask64 upper = _mm512_movepi8_mask(plane[c]);
            const __m512i low = lookUp(w.low[c], plane[c], upper), high = lookUp(w.high[c], plane[c], upper);
            light[c][0] = _mm512_unpacklo_epi8(low, high);
            light[c][1] = _mm512_unpackhi_epi8(low, high);
        }
        __m512i level[3][2];
        for (int i = 0; i < 3; ++i) {
            for (int h = 0; h < 2; ++h) {
                __m512h y = _mm512_setzero_ph();
                for (int j = 0; j < 3; ++j)
                    if (w.terms[i] & (1u << j))
                        y = _mm512_fmadd_ph(_mm512_castsi512_ph(light[j][h]), matrix[i][j], y);
                y = _mm512_max_ph(y, _mm512_setzero_ph());
                // The piece by the exponent and the half, evaluated at the
                // mantissa.
                const __m512i index = _mm512_srli_epi16(_mm512_castph_si512(y), 9);
                const __m512h t = _mm512_getmant_ph(y, _MM_MANT_NORM_1_2, _MM_MANT_SIGN_zero);
                const __m512h value = _mm512_fmadd_ph(
                    _mm512_fmadd_ph(piece(w.c[i], index), t, piece(w.b[i], index)), t, piece(w.a[i], index));
                level[i][h] = _mm512_cvtph_epi16(value);
            }
        }
        // Packing R with G puts eight pixels' R, then their G, in each
        // 128-bit lane; the lanes of both halves for registers 0 and 1 go
        // into one register, those for 2 and 3 into another. Every pixel is
        // then one permute between that and the plane of B away.
        const __m512i low = _mm512_packus_epi16(level[0][0], level[1][0]);
        const __m512i high = _mm512_packus_epi16(level[0][1], level[1][1]);
        const __m512i blues = _mm512_packus_epi16(level[2][0], level[2][1]);
        const __m512i pairs[2] = {_mm512_shuffle_i64x2(low, high, 0x44),
                                  _mm512_shuffle_i64x2(low, high, 0xee)};
        for (int k = 0; k < 4; ++k) {
            const __m512i bgr = _mm512_permutex2var_epi8(pairs[k / 2], _mm512_load_si512(s.join[k]), blues);
            _mm512_mask_storeu_epi32(at + 16 * k, mask[k], _mm512_mask_blend_epi8(kFourth, bgr, v[k]));
        }
    }
}
#pragma GCC diagnostic pop
#else
void convertSixtyFourAtOnce(const ColourConversion::MatrixShaper::Words&, uchar*, int) {}
#endif

} // namespace orbet
