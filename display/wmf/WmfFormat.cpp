#include "display/wmf/WmfFormat.h"

namespace orbet::wmf {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kHeaderSize = 18;
constexpr quint32 kEmfHeaderType = 1;
constexpr quint32 kEmfSignature = 0x464D4520;

void setError(QString* error, const char* text) {
    if (error) *error = QString::fromLatin1(text);
}

} // namespace

quint8 Params::u8(qsizetype byte) const {
    if (byte < 0 || byte >= m_bytes.size()) return 0;
    return quint8(m_bytes[byte]);
}

quint16 Params::u16(qsizetype word) const {
    return quint16(u8(word * 2) | (u8(word * 2 + 1) << 8));
}

Params Params::from(qsizetype byteOffset) const {
    if (byteOffset < 0 || byteOffset >= m_bytes.size()) return Params();
    return Params(m_bytes.sliced(byteOffset));
}

QByteArrayView Params::bytes(qsizetype byteOffset, qsizetype n) const {
    if (byteOffset < 0 || n <= 0 || byteOffset >= m_bytes.size()) return {};
    return m_bytes.sliced(byteOffset, qMin(n, m_bytes.size() - byteOffset));
}

std::optional<Header> parseHeader(const QByteArray& bytes, QString* error) {
    const Params p{QByteArrayView(bytes)};
    Header h;
    qsizetype offset = 0;
    if (p.size() >= 4 && p.u32(0) == kPlaceableKey) {
        if (p.size() < kPlaceableSize + kHeaderSize) {
            setError(error, "The metafile is cut short in its header.");
            return std::nullopt;
        }
        h.placeable = true;
        h.left = p.i16(3);
        h.top = p.i16(4);
        h.right = p.i16(5);
        h.bottom = p.i16(6);
        h.unitsPerInch = p.u16(7);
        offset = kPlaceableSize;
    } else if (p.size() >= 44 && p.u32(0) == kEmfHeaderType && p.u32(20) == kEmfSignature) {
        setError(error, "Enhanced metafiles (EMF) are not supported.");
        return std::nullopt;
    }
    const Params m = p.from(offset);
    if (m.size() < kHeaderSize) {
        setError(error, "The file is too short to be a metafile.");
        return std::nullopt;
    }
    const quint16 type = m.u16(0);
    const quint16 headerWords = m.u16(1);
    const quint16 version = m.u16(2);
    const bool standard =
        (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
    // The placeable key already identifies the file; writers that botch the
    // standard header behind it still lay it out in nine words.
    if (!standard && !h.placeable) {
        setError(error, "The file is not a Windows metafile.");
        return std::nullopt;
    }
    h.objectCount = m.u16(5);
    h.recordsOffset = offset + kHeaderSize;
    return h;
}

bool RecordReader::next(Record& out) {
    if (m_done) return false;
    const qsizetype left = m_bytes.size() - m_offset;
    if (left < 6) {
        m_done = true;
        m_stoppedEarly = true;
        return false;
    }
    const Params head(m_bytes.sliced(m_offset, 6));
    const quint64 sizeWords = head.u32(0);
    const quint16 function = head.u16(2);
    if (function == fn::Eof) {
        m_done = true;
        return false;
    }
    if (sizeWords < 3 || sizeWords * 2 > quint64(left)) {
        m_done = true;
        m_stoppedEarly = true;
        return false;
    }
    const qsizetype size = qsizetype(sizeWords * 2);
    out.function = function;
    out.params = Params(m_bytes.sliced(m_offset + 6, size - 6));
    m_offset += size;
    return true;
}

} // namespace orbet::wmf
