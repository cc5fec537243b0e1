#pragma once

#include <cstdio>
#include <vector>

#include <QColor>
#include <QFile>
#include <QString>

#include <jpeglib.h>

namespace orbet::test {

// The quarters of a photo written by writeQuarters, clockwise from the top
// left, and the squares that mark its top-left and bottom-right corners.
inline const QRgb kQuarters[4] = {qRgb(220, 30, 30), qRgb(30, 200, 30), qRgb(230, 220, 40),
                                  qRgb(30, 40, 220)};
inline const QRgb kTopLeftMark = qRgb(0, 0, 0), kBottomRightMark = qRgb(255, 255, 255);
constexpr int kMark = 96;

// Writes a baseline 4:2:0 JPEG of width x height in four flat quarters with
// its corners marked, a row at a time: a photo of hundreds of megapixels
// is made without ever being held, and its file takes a few megabytes.
inline bool writeQuarters(const QString& path, int width, int height) {
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out) return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * 3);
    while (int(info.next_scanline) < height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            QRgb c = kQuarters[y < height / 2 ? (x < width / 2 ? 0 : 1) : (x < width / 2 ? 3 : 2)];
            if (x < kMark && y < kMark) c = kTopLeftMark;
            if (x >= width - kMark && y >= height - kMark) c = kBottomRightMark;
            row[std::size_t(x) * 3] = JSAMPLE(qRed(c));
            row[std::size_t(x) * 3 + 1] = JSAMPLE(qGreen(c));
            row[std::size_t(x) * 3 + 2] = JSAMPLE(qBlue(c));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

// True when two colours differ by no more than a JPEG's rounding.
inline bool near(QRgb a, QRgb b, int tolerance = 24) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace orbet::test
