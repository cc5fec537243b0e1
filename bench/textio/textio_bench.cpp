#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include "display/text/RtfReader.h"
#include "display/text/TextDecoding.h"

namespace {

constexpr qsizetype kPlainSize = 5 * 1024 * 1024;
constexpr qsizetype kRtfSize = 2 * 1024 * 1024;

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray testFile(const char* relative) {
    return readFile(QStringLiteral(ORBET_TESTDATA "/") + QLatin1String(relative));
}

QByteArray repeatTo(const QByteArray& unit, qsizetype size) {
    QByteArray out;
    out.reserve(size + unit.size());
    while (out.size() < size)
        out += unit;
    return out;
}

// The Word document's content after its header, again and again, each copy
// in a group of its own.
QByteArray wordRtf() {
    const QByteArray doc = testFile("text/rtf/rtfjs_japanese-single-double-byte.rtf");
    const QByteArray inner = doc.mid(6, doc.lastIndexOf('}') - 6);
    QByteArray out = "{\\rtf1" + inner;
    while (out.size() < kRtfSize)
        out += "{" + inner + "}";
    return out + "}";
}

// Text-dense RTF: short runs in two fonts and colours, double-byte escapes.
QByteArray denseRtf() {
    const QByteArray doc = testFile("text/rtf/testNecCharacters.rtf");
    const qsizetype bodyStart = doc.indexOf("\\viewkind4");
    const QByteArray header = doc.left(bodyStart);
    const QByteArray body = doc.mid(bodyStart, doc.lastIndexOf('}') - bodyStart);
    return header + repeatTo(body, kRtfSize) + "}";
}

struct Files {
    QTemporaryDir dir;
    QString sjis, utf8, wordRtf, denseRtf;
};

Files& files() {
    static Files f;
    return f;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void generate() {
    Files& f = files();
    const QByteArray sjis = testFile("text/plain/chardet_SHIFT_JIS__ude_4.txt") +
                            testFile("text/plain/chardet_SHIFT_JIS__ude_1.txt");
    const QByteArray utf8 = testFile("text/plain/chardet_utf-8-sig__ude_4.txt").mid(3) +
                            testFile("text/plain/chardet_utf-8__ude_5.txt");
    f.sjis = f.dir.filePath(QStringLiteral("plain-cp932-5mb.txt"));
    f.utf8 = f.dir.filePath(QStringLiteral("plain-utf8-5mb.txt"));
    f.wordRtf = f.dir.filePath(QStringLiteral("word-2mb.rtf"));
    f.denseRtf = f.dir.filePath(QStringLiteral("dense-2mb.rtf"));
    writeFile(f.sjis, repeatTo(sjis, kPlainSize));
    writeFile(f.utf8, repeatTo(utf8, kPlainSize));
    writeFile(f.wordRtf, wordRtf());
    writeFile(f.denseRtf, denseRtf());
}

void rawRead(benchmark::State& state, const QString* path) {
    for (auto _ : state)
        benchmark::DoNotOptimize(readFile(*path));
    state.SetBytesProcessed(state.iterations() * QFile(*path).size());
}

void decodePlain(benchmark::State& state, const QString* path) {
    for (auto _ : state)
        benchmark::DoNotOptimize(orbet::decodeText(readFile(*path)));
    state.SetBytesProcessed(state.iterations() * QFile(*path).size());
}

void loadPlainDocument(benchmark::State& state, const QString* path) {
    for (auto _ : state) {
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        doc.setPlainText(orbet::decodeText(readFile(*path)).text);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * QFile(*path).size());
}

void loadRtf(benchmark::State& state, const QString* path) {
    for (auto _ : state) {
        QTextDocument doc;
        orbet::readRtf(readFile(*path), doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * QFile(*path).size());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    generate();
    Files& f = files();
    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("RawRead/plain_cp932_5MB", rawRead, &f.sjis)->Unit(ms);
    benchmark::RegisterBenchmark("DecodeText/plain_cp932_5MB", decodePlain, &f.sjis)->Unit(ms);
    benchmark::RegisterBenchmark("DecodeIntoDocument/plain_cp932_5MB", loadPlainDocument, &f.sjis)->Unit(ms);
    benchmark::RegisterBenchmark("RawRead/plain_utf8_5MB", rawRead, &f.utf8)->Unit(ms);
    benchmark::RegisterBenchmark("DecodeText/plain_utf8_5MB", decodePlain, &f.utf8)->Unit(ms);
    benchmark::RegisterBenchmark("RawRead/rtf_word_2MB", rawRead, &f.wordRtf)->Unit(ms);
    benchmark::RegisterBenchmark("ReadRtf/rtf_word_2MB", loadRtf, &f.wordRtf)->Unit(ms);
    benchmark::RegisterBenchmark("RawRead/rtf_dense_2MB", rawRead, &f.denseRtf)->Unit(ms);
    benchmark::RegisterBenchmark("ReadRtf/rtf_dense_2MB", loadRtf, &f.denseRtf)->Unit(ms);
    if (qEnvironmentVariableIsSet("ORBET_BENCH_KEEP_FILES")) {
        f.dir.setAutoRemove(false);
        fprintf(stderr, "generated files kept in %s\n", qPrintable(f.dir.path()));
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
