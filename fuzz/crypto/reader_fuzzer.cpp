#include <cstddef>
#include <cstdint>

#include <QBuffer>
#include <QByteArray>

#include "crypto/AngFormat.h"
#include "crypto/AngText.h"

namespace {

// Whatever the input, the reader ends and never gives more bytes than half
// the rest of the file.
void readAsProtected(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    orbet::ang::Reader reader(in);
    if (!reader.readHeader()) return;
    const QString name = orbet::ang::decodeText(reader.name());
    (void)orbet::ang::isSafeName(name);
    (void)orbet::ang::sameText(reader.password(), name);
    qint64 out = 0;
    reader.readContent([&out](const char*, qint64 size) {
        out += size;
        return true;
    });
    if (out > bytes.size() / 2) __builtin_trap();
}

// The input as a file's content, protected and read back, gives itself.
void roundTrip(const QByteArray& bytes) {
    orbet::ang::Rounds rounds;
    for (int i = 0; i < 3; ++i) {
        rounds.keys[i] = bytes.size() > i ? 1 + static_cast<unsigned char>(bytes[i]) % 14 : 1;
        rounds.decoys[i] = bytes.size() > i + 3 ? 1 + static_cast<unsigned char>(bytes[i + 3]) % 15 : 1;
    }
    QByteArray name = bytes.left(8);
    name.replace('\r', '_').replace('\n', '_');
    QByteArray source = bytes;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray file;
    orbet::ang::writeProtected(in, "pw", name, rounds, [&file](const char* d, qint64 n) {
        file.append(d, n);
        return true;
    });
    QBuffer back(&file);
    back.open(QIODevice::ReadOnly);
    orbet::ang::Reader reader(back);
    if (!reader.readHeader() || reader.password() != "pw" || reader.name() != name) __builtin_trap();
    QByteArray content;
    const auto status = reader.readContent([&content](const char* d, qint64 n) {
        content.append(d, n);
        return true;
    });
    if (status != orbet::ang::Reader::Status::Ok || content != bytes) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    readAsProtected(bytes);
    roundTrip(bytes);
    return 0;
}
