#include "tools/SearchEntries.h"

#include <cstring>

#include <QStringDecoder>

namespace orbet {

namespace {

bool hasControl(const QString& s) {
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    return false;
}

QString escaped(QByteArrayView bytes) {
    // Valid UTF-8 runs stay text; every other byte becomes "\xNN".
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const unsigned char c = bytes[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len > 1 && i + len <= bytes.size()) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString piece = utf8.decode(bytes.sliced(i, len));
            if (!utf8.hasError()) {
                out += piece;
                i += len;
                continue;
            }
        }
        if (len == 1 && c >= 0x20 && c != 0x7F) {
            out += QChar(c);
        } else {
            out += QStringLiteral("\\x") + QString::number(c, 16).toUpper().rightJustified(2, u'0');
        }
        ++i;
    }
    return out;
}

} // namespace

QString displayName(QByteArrayView bytes) {
    bool plain = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
            plain = false;
            break;
        }
    if (plain) return QString::fromLatin1(bytes.data(), bytes.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError() && !hasControl(text)) return text;
    QStringDecoder sjis("windows-31j", QStringDecoder::Flag::Stateless);
    if (sjis.isValid()) {
        text = sjis.decode(bytes);
        if (!sjis.hasError() && !hasControl(text)) return text;
    }
    return escaped(bytes);
}

SearchEntries::SearchEntries() = default;
SearchEntries::~SearchEntries() = default;

void SearchEntries::clear() {
    std::deque<SearchRecord>().swap(records_);
    blocks_.clear();
    used_ = 0;
    folders_ = 0;
}

void SearchEntries::append(const SearchBatch& batch) {
    for (const SearchRecord& in : batch.records) {
        if (in.parent != kNoParent && in.parent >= size()) continue;
        if (qsizetype(in.nameOffset) + in.nameLength > batch.names.size()) continue;
        std::uint64_t at = used_;
        if (at % kBlock + in.nameLength > kBlock) at = (at / kBlock + 1) * kBlock;
        // Offsets are 32 bits: past 4 GiB of names the store takes no more.
        if (at + in.nameLength >= (std::uint64_t(1) << 32) || size() == kNoParent) return;
        while (blocks_.size() <= at / kBlock)
            blocks_.push_back(std::make_unique<char[]>(kBlock));
        std::memcpy(blocks_[at / kBlock].get() + at % kBlock, batch.names.constData() + in.nameOffset,
                    in.nameLength);
        SearchRecord r = in;
        r.nameOffset = std::uint32_t(at);
        records_.push_back(r);
        used_ = at + in.nameLength;
        if (r.kind != EntryKind::File) ++folders_;
    }
}

bool SearchEntries::takesWhole(const SearchBatch& batch) const {
    std::uint32_t index = size();
    for (const SearchRecord& r : batch.records) {
        if (r.parent != kNoParent && r.parent >= index) return false;
        if (qsizetype(r.nameOffset) + r.nameLength > batch.names.size()) return false;
        ++index;
    }
    // Every block begun may leave a name's length of padding behind.
    const std::uint64_t bytes = std::uint64_t(batch.names.size());
    const std::uint64_t worst = used_ + bytes + (bytes / kBlock + 2) * 0xFFFFull;
    return worst < (std::uint64_t(1) << 32) && std::uint64_t(size()) + batch.records.size() < kNoParent;
}

QByteArray SearchEntries::nativePath(std::uint32_t i) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t e = i; e != kNoParent; e = records_[e].parent)
        chain.push_back(e);
    QByteArray out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        out += name(*it);
        if (*it != i || isFolder(i)) out += '/';
    }
    return out;
}

QString SearchEntries::path(std::uint32_t i) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t e = i; e != kNoParent; e = records_[e].parent)
        chain.push_back(e);
    QString out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        out += displayName(name(*it));
        if (*it != i || isFolder(i)) out += u'/';
    }
    return out;
}

QString SearchEntries::text(std::uint32_t i) const {
    return isFolder(i) ? path(i) + QStringLiteral("<D>") : path(i) + QStringLiteral("/<F>");
}

std::size_t SearchEntries::bytesUsed() const {
    return records_.size() * sizeof(SearchRecord) + blocks_.size() * std::size_t(kBlock);
}

} // namespace orbet
