#include "display/ColourProfile.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include <lcms2.h>
#include <zlib.h>

#include "display/MatrixShaper.h"

namespace orbet {

namespace {

std::mutex displayMutex;
QByteArray displayIcc;

quint32 be32(const QByteArray& d, qint64 at) {
    const auto* p = reinterpret_cast<const uchar*>(d.constData()) + at;
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}
quint32 le32(const QByteArray& d, qint64 at) {
    const auto* p = reinterpret_cast<const uchar*>(d.constData()) + at;
    return quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
}

// Profiles are a few kilobytes; a press profile a few hundred.
constexpr qint64 kLargestProfile = 4 * 1024 * 1024;

QByteArray jpegProfile(const QByteArray& head) {
    QByteArray parts[256];
    int count = 0;
    qint64 at = 2;
    while (at + 4 <= head.size()) {
        if (uchar(head[at]) != 0xFF) break;
        const uchar marker = uchar(head[at + 1]);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break;
        const qint64 length = (uchar(head[at + 2]) << 8) | uchar(head[at + 3]);
        if (length < 2 || at + 2 + length > head.size()) break;
        if (marker == 0xE2 && length >= 16 && head.mid(at + 4, 12) == QByteArray("ICC_PROFILE\0", 12)) {
            const int sequence = uchar(head[at + 16]), total = uchar(head[at + 17]);
            if (sequence < 1 || total < 1 || sequence > total || (count && count != total)) return {};
            count = total;
            parts[sequence - 1] = head.mid(at + 18, length - 16);
        }
        at += 2 + length;
    }
    QByteArray profile;
    for (int i = 0; i < count; ++i) {
        if (parts[i].isEmpty()) return {}; // a piece is missing
        profile += parts[i];
    }
    return profile;
}

QByteArray inflate(const QByteArray& compressed) {
    QByteArray out(64 * 1024, Qt::Uninitialized);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    z.avail_in = uInt(compressed.size());
    qint64 produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (produced == out.size()) {
            if (out.size() >= kLargestProfile) break;
            out.resize(out.size() * 2);
        }
        z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        z.avail_out = uInt(out.size() - produced);
        status = ::inflate(&z, Z_NO_FLUSH);
        produced = out.size() - z.avail_out;
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) return {};
    out.truncate(produced);
    return out;
}

QByteArray pngProfile(const QByteArray& head) {
    for (qint64 at = 8; at + 12 <= head.size();) {
        const qint64 length = be32(head, at);
        const QByteArray type = head.mid(at + 4, 4);
        if (type == "IDAT" || length > head.size() - at - 12) return {};
        if (type == "iCCP") {
            const QByteArray data = head.mid(at + 8, length);
            const qsizetype nul = data.indexOf('\0');
            // A name of 1-79 bytes, its end, the method (0: deflate), the data.
            if (nul < 1 || nul > 79 || nul + 2 > data.size() || data[nul + 1] != 0) return {};
            return inflate(data.mid(nul + 2));
        }
        at += 12 + length;
    }
    return {};
}

QByteArray webpProfile(const QByteArray& head) {
    for (qint64 at = 12; at + 8 <= head.size();) {
        const qint64 length = le32(head, at + 4);
        if (length > head.size() - at - 8) return {};
        if (head.mid(at, 4) == "ICCP") return head.mid(at + 8, length);
        at += 8 + length + (length & 1);
    }
    return {};
}

QByteArray tiffProfile(const QByteArray& head) {
    const bool little = head.startsWith("II*");
    if (!little && !head.startsWith(QByteArray("MM\0*", 4))) return {};
    auto u16 = [&](qint64 at) {
        const auto* p = reinterpret_cast<const uchar*>(head.constData()) + at;
        return little ? quint32(p[0] | p[1] << 8) : quint32(p[0] << 8 | p[1]);
    };
    auto u32 = [&](qint64 at) { return little ? le32(head, at) : be32(head, at); };
    if (head.size() < 8) return {};
    const qint64 directory = u32(4);
    if (directory < 8 || directory > head.size() - 2) return {};
    const quint32 count = u16(directory);
    for (quint32 i = 0; i < count; ++i) {
        const qint64 entry = directory + 2 + qint64(i) * 12;
        if (entry > head.size() - 12) break;
        if (u16(entry) != 34675) continue;
        const qint64 length = u32(entry + 4), offset = u32(entry + 8);
        if (length <= 4 || offset > head.size() || length > head.size() - offset) return {};
        return head.mid(offset, length);
    }
    return {};
}

void quiet(cmsContext, cmsUInt32Number, const char*) {}

// A transfer function of H.273 (the numbers AVIF and HEIF give) as a
// parametric curve from the coded value to linear light; null for the
// ones that are sRGB's, or that no curve of this kind describes (PQ, HLG).
cmsToneCurve* nclxCurve(int transfer) {
    switch (transfer) {
    case 1:
    case 6:
    case 14:
    case 15: {
        // BT.709's camera curve, inverted: Y = ((X + 0.099) / 1.099)^(1/0.45)
        // above 0.081, X / 4.5 below.
        const double p[5] = {1 / 0.45, 1 / 1.099, 0.099 / 1.099, 1 / 4.5, 0.081};
        return cmsBuildParametricToneCurve(nullptr, 4, p);
    }
    case 4:
        return cmsBuildGamma(nullptr, 2.2);
    case 5:
        return cmsBuildGamma(nullptr, 2.8);
    case 8:
        return cmsBuildGamma(nullptr, 1.0);
    default:
        return nullptr;
    }
}

// An ICC profile made from the numbers of an nclx colour box (primaries and
// transfer as H.273 numbers them), so such a picture converts as one with a
// profile; empty for sRGB's numbers, unspecified ones, and any this does
// not know.
QByteArray nclxProfile(int primaries, int transfer) {
    struct Primaries {
        int code;
        cmsCIExyYTRIPLE xy;
    };
    static const Primaries known[] = {
        {1, {{0.640, 0.330, 1}, {0.300, 0.600, 1}, {0.150, 0.060, 1}}},  // BT.709, sRGB
        {5, {{0.640, 0.330, 1}, {0.290, 0.600, 1}, {0.150, 0.060, 1}}},  // BT.601 625 lines
        {6, {{0.630, 0.340, 1}, {0.310, 0.595, 1}, {0.155, 0.070, 1}}},  // BT.601 525 lines
        {9, {{0.708, 0.292, 1}, {0.170, 0.797, 1}, {0.131, 0.046, 1}}},  // BT.2020
        {12, {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}}, // Display P3
    };
    const bool srgbPrimaries = primaries == 1 || primaries == 2;
    const bool srgbTransfer = transfer == 13 || transfer == 2;
    if (srgbPrimaries && srgbTransfer) return {};
    const Primaries* chosen = nullptr;
    for (const Primaries& k : known)
        if (k.code == (primaries == 2 ? 1 : primaries)) chosen = &k;
    cmsToneCurve* curve = srgbTransfer ? nullptr : nclxCurve(transfer);
    if (!chosen || (!srgbTransfer && !curve)) {
        cmsFreeToneCurve(curve); // null-safe
        return {};
    }
    if (!curve) {
        // sRGB's own curve.
        const double p[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        curve = cmsBuildParametricToneCurve(nullptr, 4, p);
    }
    if (!curve) return {};
    const cmsCIExyY white = {0.3127, 0.3290, 1}; // D65, every one of them
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &chosen->xy, curves);
    cmsFreeToneCurve(curve);
    QByteArray bytes;
    cmsUInt32Number size = 0;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
        bytes.resize(qsizetype(size));
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) bytes.clear();
    }
    if (profile) cmsCloseProfile(profile);
    return bytes;
}

// The colr box of an ISO media file carrying a profile ("prof" or "rICC"),
// found where it sits in the file's meta box: near the start; failing that,
// one giving the colours as numbers ("nclx"), made into a profile.
QByteArray isoProfile(const QByteArray& head) {
    int primaries = -1, transfer = -1;
    for (qsizetype at = head.indexOf("colr"); at >= 4; at = head.indexOf("colr", at + 4)) {
        const qint64 size = be32(head, at - 4);
        const QByteArray kind = head.mid(at + 4, 4);
        if ((kind == "prof" || kind == "rICC") && size > 12 && size <= head.size() - (at - 4))
            return head.mid(at + 8, size - 12);
        if (kind == "nclx" && size >= 19 && size <= head.size() - (at - 4) && primaries < 0) {
            const auto* p = reinterpret_cast<const uchar*>(head.constData()) + at + 8;
            primaries = p[0] << 8 | p[1];
            transfer = p[2] << 8 | p[3];
        }
    }
    return primaries < 0 ? QByteArray() : nclxProfile(primaries, transfer);
}

// The built-in sRGB profile is marked version 2, as the sRGB profiles
// systems ship are: with a version 4 profile in the chain LittleCMS adds
// black point compensation to perceptual conversions, and press profiles
// would come out darker than every other tool shows them.
cmsHPROFILE srgbProfile() {
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    if (profile) cmsSetProfileVersion(profile, 2.1);
    return profile;
}

cmsHPROFILE openProfile(const QByteArray& bytes) {
    static std::once_flag silenced;
    std::call_once(silenced, [] { cmsSetLogErrorHandler(quiet); });
    return bytes.isEmpty() ? srgbProfile()
                           : cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size()));
}

// The profile's ID, or one computed from its bytes when the writer left it
// out: two profiles alike give the same.
QByteArray profileId(cmsHPROFILE profile) {
    cmsUInt8Number id[16] = {};
    cmsGetHeaderProfileID(profile, id);
    bool empty = true;
    for (cmsUInt8Number b : id)
        empty = empty && b == 0;
    if (empty && cmsMD5computeID(profile)) cmsGetHeaderProfileID(profile, id);
    return QByteArray(reinterpret_cast<const char*>(id), 16);
}

bool isSrgb(cmsHPROFILE profile) {
    char description[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", description, sizeof description);
    return qstrncmp(description, "sRGB", 4) == 0;
}

} // namespace

QByteArray embeddedProfile(const QByteArray& head) {
    QByteArray profile;
    if (head.startsWith("\xff\xd8"))
        profile = jpegProfile(head);
    else if (head.startsWith("\x89PNG\r\n\x1a\n"))
        profile = pngProfile(head);
    else if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        profile = webpProfile(head);
    else if (head.mid(4, 4) == "ftyp")
        profile = isoProfile(head);
    else
        profile = tiffProfile(head);
    // An ICC profile starts with its own size.
    if (profile.size() < 132 || profile.size() > kLargestProfile ||
        be32(profile, 0) > quint32(profile.size()))
        return {};
    return profile;
}

void setDisplayProfile(const QByteArray& profile) {
    std::lock_guard lock(displayMutex);
    displayIcc = profile;
}

QByteArray displayProfile() {
    std::lock_guard lock(displayMutex);
    return displayIcc;
}

std::shared_ptr<const ColourConversion> ColourConversion::from(const QByteArray& profile, Input input) {
    if (profile.size() < 20) return nullptr;
    // A folder of photos from one camera carries one profile, and a large
    // photo asks for it twice (its corner, then the whole): the last
    // conversion is kept, as building one takes milliseconds.
    struct Last {
        QByteArray profile, display;
        Input input = Input::Rgb;
        std::shared_ptr<const ColourConversion> conversion;
    };
    static std::mutex lastMutex;
    static Last last;
    const QByteArray screen = displayProfile();
    {
        std::lock_guard lock(lastMutex);
        if (last.conversion && last.input == input && last.profile == profile && last.display == screen)
            return last.conversion;
    }
    std::shared_ptr<const ColourConversion> made = build(profile, screen, input);
    if (made) {
        std::lock_guard lock(lastMutex);
        last = Last{profile, screen, input, made};
    }
    return made;
}

std::shared_ptr<const ColourConversion> ColourConversion::build(const QByteArray& profile,
                                                                const QByteArray& target, Input input) {
    cmsHPROFILE source = openProfile(profile);
    if (!source) return nullptr; // broken: shown as sRGB
    cmsHPROFILE display = openProfile(target);
    if (!display) display = srgbProfile();
    void* transform = nullptr;
    std::unique_ptr<MatrixShaper> matrix;
    // The colour spaces as the headers give them: a broken profile may
    // hold any number there, which LittleCMS would hand back as its enum.
    constexpr quint32 kRgb = 0x52474220, kCmyk = 0x434D594B; // "RGB ", "CMYK"
    const quint32 space = be32(profile, 16);
    const bool displayRgb = target.isEmpty() || (target.size() >= 20 && be32(target, 16) == kRgb);
    const bool same = input == Input::Rgb &&
                      ((target.isEmpty() && isSrgb(source)) || profileId(source) == profileId(display));
    if (!same && displayRgb &&
        ((input == Input::Rgb && space == kRgb) || (input == Input::InvertedCmyk && space == kCmyk))) {
        // No cache: the transform is shared by the decoding threads. A
        // press profile's four-dimensional table, sampled to the grid
        // LittleCMS would precompute, strays by a few levels: CMYK pictures
        // (rare, and never the large photos) are converted exactly.
        const cmsUInt32Number flags =
            cmsFLAGS_NOCACHE | (input == Input::Rgb ? cmsFLAGS_COPY_ALPHA : cmsFLAGS_NOOPTIMIZE);
        if (input == Input::Rgb) matrix = MatrixShaper::from(source, display);
        if (!matrix)
            transform = cmsCreateTransform(source, input == Input::Rgb ? TYPE_BGRA_8 : TYPE_CMYK_8_REV,
                                           display, TYPE_BGRA_8, INTENT_PERCEPTUAL, flags);
    }
    cmsCloseProfile(source);
    cmsCloseProfile(display);
    if (!transform && !matrix) return nullptr;
    std::shared_ptr<ColourConversion> conversion(new ColourConversion);
    conversion->transform_ = transform;
    conversion->matrix_ = std::move(matrix);
    conversion->input_ = input;
    return conversion;
}

ColourConversion::~ColourConversion() {
    if (transform_) cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_));
}

void ColourConversion::convertRows(uchar* rows, qsizetype stride, int width, int count) const {
    if (matrix_) {
        for (int y = 0; y < count; ++y)
            matrix_->convert(rows + y * stride, width);
        return;
    }
    cmsDoTransformLineStride(static_cast<cmsHTRANSFORM>(transform_), rows, rows, cmsUInt32Number(width),
                             cmsUInt32Number(count), cmsUInt32Number(stride), cmsUInt32Number(stride), 0, 0);
}

void ColourConversion::convertCmykRow(const uchar* cmyk, uchar* out, int width) const {
    if (!transform_) return;
    cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), cmyk, out, cmsUInt32Number(width));
    // The fourth byte of RGB32 is opaque.
    for (int x = 0; x < width; ++x)
        out[4 * x + 3] = 0xff;
}

QImage convertedPicture(QImage image, const ColourConversion* conversion) {
    if (!conversion || image.isNull()) return image;
    // Converted with straight alpha; a premultiplied picture goes back to
    // that form, any other becomes one of the two the panes paint fastest.
    const QImage::Format format = image.format();
    const bool premultiplied = format == QImage::Format_ARGB32_Premultiplied ||
                               (format != QImage::Format_ARGB32 && image.hasAlphaChannel());
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return image;
    conversion->convertRows(image.bits(), image.bytesPerLine(), image.width(), image.height());
    return premultiplied ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied) : image;
}

} // namespace orbet
