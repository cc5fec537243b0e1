// orbet_bench_huge OUT.jpg WIDTH HEIGHT: writes a phone-sized JPEG a row at a
// time (never held whole): four quarters, the top-left one in the start
// benchmark's colour and the bottom-right one in another, with a grain of
// noise so that decoding costs what a photograph of that size costs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <jpeglib.h>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
    FILE* out = std::fopen(argv[1], "wb");
    if (!out || w <= 0 || h <= 0) return 1;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    const int quarters[4][3] = {{230, 30, 200}, {200, 200, 200}, {30, 200, 230}, {90, 90, 90}};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grain(-14, 14);
    std::vector<JSAMPLE> row(std::size_t(w) * 3);
    while (int(info.next_scanline) < h) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < w; ++x) {
            const int* c = quarters[y < h / 2 ? (x < w / 2 ? 0 : 1) : (x < w / 2 ? 3 : 2)];
            const int n = grain(random);
            for (int k = 0; k < 3; ++k)
                row[std::size_t(x) * 3 + k] = JSAMPLE(std::clamp(c[k] + n, 0, 255));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0 ? 0 : 1;
}
