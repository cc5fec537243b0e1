#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "display/MatrixShaper.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

struct Profile {
    cmsHPROFILE handle;
    explicit Profile(cmsHPROFILE h) : handle(h) {}
    ~Profile() {
        if (handle) cmsCloseProfile(handle);
    }
};

// A phone's Display P3: the P3 primaries under sRGB's curve.
cmsHPROFILE displayP3(cmsToneCurve* curve) {
    const cmsCIExyY white = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    return cmsCreateRGBProfile(&white, &primaries, curves);
}

cmsToneCurve* srgbCurve() {
    const cmsFloat64Number parameters[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    return cmsBuildParametricToneCurve(nullptr, 4, parameters);
}

// Every fourth level of each channel, with a fourth byte that varies, in
// rows whose width leaves a part of sixteen pixels at each row's end.
std::vector<quint32> grid() {
    std::vector<quint32> pixels;
    for (int r = 0; r < 256; r += 4)
        for (int g = 0; g < 256; g += 4)
            for (int b = 0; b < 256; b += 4)
                pixels.push_back(quint32((r + g) & 0xff) << 24 | quint32(r) << 16 | quint32(g) << 8 |
                                 quint32(b));
    for (int v = 0; v < 256; ++v)
        pixels.push_back(0xff000000u | quint32(v) * 0x010101u);
    return pixels;
}
constexpr int kRow = 997;

// How far from LittleCMS's exact 16-bit pipeline: the largest difference of
// a channel (256 when a fourth byte changed), and the mean one.
struct Distance {
    int most = 0;
    double mean = 0;
};
using Route = ColourConversion::MatrixShaper::Route;

Distance fromLittleCms(const ColourConversion::MatrixShaper& shaper, Route by, cmsHPROFILE source,
                       cmsHPROFILE target) {
    const std::vector<quint32> pixels = grid();
    std::vector<quint32> ours = pixels, exact = pixels;
    for (std::size_t at = 0; at < ours.size(); at += kRow) {
        auto* row = reinterpret_cast<uchar*>(ours.data() + at);
        const int width = int(std::min<std::size_t>(kRow, ours.size() - at));
        shaper.convert(row, width, by);
    }
    cmsHTRANSFORM transform =
        cmsCreateTransform(source, TYPE_BGRA_8, target, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                           cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE | cmsFLAGS_COPY_ALPHA);
    if (!transform) return {256, 256};
    cmsDoTransform(transform, pixels.data(), exact.data(), cmsUInt32Number(pixels.size()));
    cmsDeleteTransform(transform);
    Distance d;
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        if ((ours[k] ^ pixels[k]) >> 24) return {256, 256};
        for (int shift : {0, 8, 16}) {
            const int off = std::abs(int(ours[k] >> shift & 0xff) - int(exact[k] >> shift & 0xff));
            d.most = std::max(d.most, off);
            d.mean += off;
        }
    }
    d.mean /= double(3 * pixels.size());
    return d;
}

// Camera and phone profiles convert within a level of LittleCMS's own
// conversion every way the processor offers (the fastest must then have been
// taken), rows of any width, the fourth byte untouched.
TEST(MatrixShaper, BothWaysConvertWithinALevelOfLittleCms) {
    const QByteArray adobe =
        embeddedProfile(test::readAll(QStringLiteral(ORBET_OWN_PICTURES "/rose_a98.jpg")));
    ASSERT_FALSE(adobe.isEmpty());
    cmsToneCurve* curve = srgbCurve();
    // And one whose channels each have a curve of their own.
    cmsToneCurve* gammas[3] = {cmsBuildGamma(nullptr, 1.8), cmsBuildGamma(nullptr, 2.2),
                               cmsBuildGamma(nullptr, 2.6)};
    const cmsCIExyY white = {0.3457, 0.3585, 1.0};
    const cmsCIExyYTRIPLE wide = {{0.7347, 0.2653, 1.0}, {0.1596, 0.8404, 1.0}, {0.0366, 0.0001, 1.0}};
    const Profile sources[] = {
        Profile(cmsOpenProfileFromMem(adobe.constData(), cmsUInt32Number(adobe.size()))),
        Profile(displayP3(curve)), Profile(cmsCreateRGBProfile(&white, &wide, gammas))};
    cmsFreeToneCurve(curve);
    for (cmsToneCurve* g : gammas)
        cmsFreeToneCurve(g);
    const Profile srgb(cmsCreate_sRGBProfile());
    for (const Profile& source : sources) {
        ASSERT_NE(source.handle, nullptr);
        const auto shaper = ColourConversion::MatrixShaper::from(source.handle, srgb.handle);
        ASSERT_NE(shaper, nullptr);
#if defined(__x86_64__)
        EXPECT_EQ(shaper->route, __builtin_cpu_supports("avx512f") ? Route::Floats : Route::Tables);
        EXPECT_EQ(shaper->offers(Route::Floats), bool(__builtin_cpu_supports("avx512f")));
#endif
        for (Route by : {Route::Floats, Route::Tables}) {
            if (!shaper->offers(by)) continue;
            const Distance d = fromLittleCms(*shaper, by, source.handle, srgb.handle);
            EXPECT_LE(d.most, 1) << int(by);
            // Off by one rarely: a matrix off by half a percent is as
            // close at most, but not on average.
            EXPECT_LT(d.mean, by == Route::Tables ? 0.03 : 0.1) << int(by);
        }
    }
}

// A curve the pieces cannot follow (a staircase of a camera's sampled
// table) keeps the tables, and converts as closely all the same, as the
// source's curve or as the target's.
TEST(MatrixShaper, ACurveThePiecesCannotFollowKeepsTheTables) {
    std::vector<cmsUInt16Number> steps(256);
    for (int i = 0; i < 256; ++i)
        steps[i] = cmsUInt16Number((i / 24) * 65535 / 10);
    cmsToneCurve* stairs = cmsBuildTabulatedToneCurve16(nullptr, cmsUInt32Number(steps.size()), steps.data());
    const Profile stepped(displayP3(stairs));
    cmsFreeToneCurve(stairs);
    const Profile srgb(cmsCreate_sRGBProfile());
    const auto in = ColourConversion::MatrixShaper::from(stepped.handle, srgb.handle);
    ASSERT_NE(in, nullptr);
    EXPECT_FALSE(in->offers(Route::Floats));
    EXPECT_EQ(in->route, Route::Tables);
    EXPECT_LE(fromLittleCms(*in, in->route, stepped.handle, srgb.handle).most, 1);
    const auto out = ColourConversion::MatrixShaper::from(srgb.handle, stepped.handle);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->route, Route::Tables);
    EXPECT_FALSE(out->offers(Route::Floats));
}

} // namespace
} // namespace orbet
