#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "plugins/UserFilterTable.h"

// A filter file read and written again must read back as the same table,
// and a second write must give the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    static orbet::UserFilterTable first;
    static orbet::UserFilterTable second;
    first.clear();
    second.clear();
    first.deserialize(bytes);
    (void)first.names();
    const QByteArray written = first.serialize();
    if (second.deserialize(written) != orbet::UserFilterTable::Values) __builtin_trap();
    // A double quote cannot be stored and goes out as an apostrophe, by design.
    auto stored = [](orbet::FilterValue v) {
        v.text.replace(QLatin1Char('"'), QLatin1Char('\''));
        return v;
    };
    for (int r = 0; r < orbet::UserFilterTable::Rows; ++r) {
        const orbet::UserFilter& a = first.row(r);
        const orbet::UserFilter& b = second.row(r);
        if (!(stored(a.name) == b.name && stored(a.patterns) == b.patterns && stored(a.method) == b.method))
            __builtin_trap();
    }
    if (second.serialize() != written) __builtin_trap();
    return 0;
}
