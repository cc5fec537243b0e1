#include "crypto/AngFormat.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QIODevice>
#include <QRandomGenerator>

namespace orbet::ang {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
// Longest first or second line taken for a protected file's; a password or a
// file name is far shorter, and hostile input must not make the reader hold
// the whole file.
constexpr qsizetype kMaxLine = 1 << 20;

// Both halves of a byte moved by shift, mod 16.
constexpr unsigned char shifted(unsigned char b, int shift) {
    return static_cast<unsigned char>((((b >> 4) + shift) & 15) << 4 | (((b & 15) + shift) & 15));
}

constexpr unsigned char kLineBreak = 16;
constexpr unsigned char kInvalid = 17;

unsigned char digitClass(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c == '\r' || c == '\n') return kLineBreak;
    return kInvalid;
}

} // namespace

RandomSource systemRandom() {
    return [](int low, int high) { return int(QRandomGenerator::global()->bounded(low, high + 1)); };
}

Rounds drawRounds(const RandomSource& random) {
    Rounds r;
    for (int i = 0; i < 3; ++i) {
        r.keys[i] = random(1, 14);
        r.decoys[i] = random(1, 15);
    }
    return r;
}

std::array<char, 3> headerBytes(const Rounds& r) {
    const auto& k = r.keys;
    const auto& d = r.decoys;
    auto byte = [](int high, int low) { return char(((high & 15) << 4) | (low & 15)); };
    return {byte(d[2], k[2]), byte(d[1] + k[2], k[1] + k[2]), byte(d[0] + k[1] + k[2], k[0] + k[1] + k[2])};
}

int shiftOfHeader(const char header[3]) {
    return static_cast<unsigned char>(header[2]) & 15;
}

bool writeProtected(QIODevice& source, const QByteArray& password, const QByteArray& name,
                    const Rounds& rounds, const Sink& sink) {
    const int shift = (rounds.keys[0] + rounds.keys[1] + rounds.keys[2]) & 15;
    const std::array<char, 3> header = headerBytes(rounds);
    QByteArray lines = password + "\r\n" + name + "\r\n";
    for (char& c : lines)
        c = char(shifted(static_cast<unsigned char>(c), shift));
    if (!sink(header.data(), 3) || !sink(lines.constData(), lines.size())) return false;

    // Each source byte becomes its two shifted digit characters.
    char pairs[256][2];
    for (int b = 0; b < 256; ++b) {
        pairs[b][0] = char(shifted(kHexDigits[b >> 4], shift));
        pairs[b][1] = char(shifted(kHexDigits[b & 15], shift));
    }
    QByteArray in(kChunk, Qt::Uninitialized);
    QByteArray out(2 * kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = source.read(in.data(), kChunk);
        if (n < 0) return false;
        if (n == 0) break;
        const auto* p = reinterpret_cast<const unsigned char*>(in.constData());
        char* o = out.data();
        for (qint64 i = 0; i < n; ++i, o += 2)
            std::memcpy(o, pairs[p[i]], 2);
        if (!sink(out.constData(), 2 * n)) return false;
    }
    const char end[2] = {char(shifted('\r', shift)), char(shifted('\n', shift))};
    return sink(end, 2);
}

bool Reader::fill() {
    if (pos_ < buffer_.size()) return true;
    if (readFailed_) return false;
    buffer_.resize(kChunk);
    const qint64 n = in_.read(buffer_.data(), kChunk);
    if (n < 0) readFailed_ = true;
    buffer_.resize(n > 0 ? n : 0);
    pos_ = 0;
    return n > 0;
}

int Reader::nextPlain() {
    if (!fill()) return -1;
    return shifted(static_cast<unsigned char>(buffer_[pos_++]), 16 - shift_);
}

bool Reader::readHeader() {
    char header[3];
    if (in_.read(header, 3) != 3) return false;
    shift_ = shiftOfHeader(header);
    for (QByteArray* line : {&password_, &name_}) {
        line->clear();
        for (;;) {
            const int c = nextPlain();
            if (c < 0 || line->size() >= kMaxLine) return false;
            if (c == '\n') break;
            if (c == '\r') {
                // CR LF is one break; a lone CR ends the line too.
                if (fill() && shifted(static_cast<unsigned char>(buffer_[pos_]), 16 - shift_) == '\n') ++pos_;
                break;
            }
            line->append(char(c));
        }
    }
    return true;
}

Reader::Status Reader::readContent(const Sink& sink) {
    unsigned char cls[256];
    for (int b = 0; b < 256; ++b)
        cls[b] = digitClass(shifted(static_cast<unsigned char>(b), 16 - shift_));
    // The content is almost always one long line: two digits at a time
    // through one table, byte by byte only around line breaks.
    constexpr std::uint16_t kNotAPair = 0xFFFF;
    std::vector<std::uint16_t> pairs(65536);
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            pairs[a | b << 8] = cls[a] < 16 && cls[b] < 16 ? std::uint16_t(cls[a] << 4 | cls[b]) : kNotAPair;
    QByteArray out(kChunk, Qt::Uninitialized);
    bool endsWithBreak = false;
    int high = -1;
    while (fill()) {
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.constData()) + pos_;
        const qsizetype n = buffer_.size() - pos_;
        char* o = out.data();
        qsizetype i = 0;
        while (i < n) {
            if (high < 0) {
                while (i + 1 < n) {
                    const std::uint16_t v = pairs[p[i] | p[i + 1] << 8];
                    if (v == kNotAPair) break;
                    *o++ = char(v);
                    i += 2;
                    endsWithBreak = false;
                }
                if (i == n) break;
            }
            const unsigned char c = cls[p[i++]];
            if (c < 16) {
                endsWithBreak = false;
                if (high < 0) {
                    high = c;
                } else {
                    *o++ = char(high << 4 | c);
                    high = -1;
                }
            } else if (c == kLineBreak) {
                endsWithBreak = true;
            } else {
                return Status::NotProtected;
            }
        }
        pos_ = buffer_.size();
        if (o != out.constData() && !sink(out.constData(), o - out.constData())) return Status::SinkFailed;
    }
    if (readFailed_) return Status::ReadFailed;
    if (!endsWithBreak) return Status::NotProtected;
    if (high >= 0) return Status::OddDigits;
    return Status::Ok;
}

bool isSafeName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool hasControlCharacters(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0x2028 || u == 0x2029;
    });
}

} // namespace orbet::ang
