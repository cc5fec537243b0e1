#pragma once

#include <deque>
#include <utility>
#include <vector>

#include <QByteArray>

#include "crypto/AngFormat.h"

namespace orbet::test {

// Hands out fixed keys and decoys in order and records the ranges asked for.
struct FixedRandom {
    std::deque<int> values;
    std::vector<std::pair<int, int>> ranges;
    ang::RandomSource source() {
        return [this](int low, int high) {
            ranges.emplace_back(low, high);
            const int v = values.front();
            values.pop_front();
            return v;
        };
    }
};

// The plain record of a protected file, undone by hand from the layout: the
// sum of the keys sits in the low half of the third byte.
inline QByteArray plainRecord(const QByteArray& file) {
    const int shift = static_cast<unsigned char>(file[2]) & 15;
    QByteArray out = file.mid(3);
    for (char& c : out) {
        const int b = static_cast<unsigned char>(c);
        c = char((((b >> 4) - shift) & 15) << 4 | (((b & 15) - shift) & 15));
    }
    return out;
}

// A protected file built by hand from a plain record and the three rounds.
inline QByteArray buildProtected(const QByteArray& record, const ang::Rounds& r) {
    const auto& k = r.keys;
    const auto& d = r.decoys;
    auto byte = [](int high, int low) { return char(((high & 15) << 4) | (low & 15)); };
    QByteArray out;
    out.append(byte(d[2], k[2]));
    out.append(byte(d[1] + k[2], k[1] + k[2]));
    out.append(byte(d[0] + k[1] + k[2], k[0] + k[1] + k[2]));
    const int shift = k[0] + k[1] + k[2];
    for (char c : record)
        out.append(byte((static_cast<unsigned char>(c) >> 4) + shift, (c & 15) + shift));
    return out;
}

} // namespace orbet::test
