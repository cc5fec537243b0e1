#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QByteArray>
#include <QString>

class QIODevice;

// The byte layout of a protected file. The plain record is three lines, each
// ended by CR LF: the password, the source file's name, and the source's
// bytes as upper-case hexadecimal text. Three scrambling rounds each add a
// decoy digit and a key digit in front and shift every digit by the key, so
// the file is three header bytes followed by the record with both halves of
// every byte shifted by the sum of the keys. Working on bytes this way gives
// exactly what the digit-by-digit rounds give, without ever holding the
// hexadecimal texts.
namespace orbet::ang {

// Keys and decoys of the three rounds, in the order the rounds were applied.
struct Rounds {
    std::array<int, 3> keys{};   // 1 to 14 when drawn
    std::array<int, 3> decoys{}; // 1 to 15 when drawn
};

// Draws an integer from low to high inclusive. The program draws from the
// system's generator; tests pass a fixed sequence.
using RandomSource = std::function<int(int low, int high)>;
RandomSource systemRandom();
// One round's key then its decoy, three times.
Rounds drawRounds(const RandomSource& random);

// The three bytes in front of the shifted record.
std::array<char, 3> headerBytes(const Rounds& rounds);
// The shift of the record (the sum of the keys mod 16), read from a header.
int shiftOfHeader(const char header[3]);

// Where a stream of bytes goes: false stops the work (a failed write).
using Sink = std::function<bool(const char* data, qint64 size)>;

constexpr qint64 kChunk = 1 << 20;

// Writes the whole protected form of the source: header, the shifted first
// two lines, the source's bytes as shifted hexadecimal digit pairs, and the
// shifted final line break. Reads the source in chunks of kChunk, each
// handed to the sink at once, so a sink that says stop stops the work within
// one chunk. False when reading the source or the sink failed.
bool writeProtected(QIODevice& source, const QByteArray& password, const QByteArray& name,
                    const Rounds& rounds, const Sink& sink);

// Reads a protected file: first the header and the two text lines, then the
// content streamed out as bytes.
class Reader {
  public:
    enum class Status { Ok, NotProtected, OddDigits, ReadFailed, SinkFailed };

    explicit Reader(QIODevice& in) : in_(in) {}

    // False when the input is too short or its first two lines do not end
    // within a sane length: not a protected file.
    bool readHeader();
    const QByteArray& password() const { return password_; }
    const QByteArray& name() const { return name_; }

    // Streams the content's bytes to sink. The rest of the record must be
    // hexadecimal digits and line breaks only, an even number of digits, and
    // end with a line break (a file cut short does not).
    Status readContent(const Sink& sink);

  private:
    bool fill();
    int nextPlain(); // the next unshifted byte, -1 at the end

    QIODevice& in_;
    int shift_ = 0;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool readFailed_ = false;
    QByteArray password_;
    QByteArray name_;
};

// A stored name is used only when it names a file inside the folder it is
// restored to: not empty, no separator, not "." or "..", no NUL.
bool isSafeName(const QString& name);

// A line break in a name would split the record's name line, and a name
// with controls cannot be typed or shown; neither is written or restored.
bool hasControlCharacters(const QString& name);

} // namespace orbet::ang
