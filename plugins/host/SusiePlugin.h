#pragma once

/*
 * The import-filter interface between Orbet and its picture plug-ins: the
 * published Susie names, argument order, info numbers and error codes, with
 * portable types. A plug-in is an ELF shared object named IF*.spi that exports
 * the functions below with C linkage. Plug-ins include this header; it is
 * valid C (C11) and C++.
 *
 * Ownership: the two blocks GetPicture hands back are allocated by the plug-in
 * with malloc and released by the host with free. The host checks each block's
 * usable size against what the header says before reading it, so a plug-in
 * must never hand back memory it did not get from malloc.
 *
 * Texts are UTF-8; file names are passed as the file system's bytes.
 */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define SUSIE_EXPORT __attribute__((visibility("default")))
#else
#define SUSIE_EXPORT
#endif

/* Return codes of GetPictureInfo, GetPicture and GetPreview. */
enum {
    SPI_NOT_IMPLEMENTED = -1,
    SPI_SUCCESS = 0,
    SPI_CANCELLED = 1,
    SPI_UNKNOWN_FORMAT = 2,
    SPI_BROKEN_DATA = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_READ_ERROR = 6,
    SPI_INTERNAL_ERROR = 8
};

/* The input kind is the low three bits of the flag argument. */
enum {
    SPI_INPUT_MASK = 7,
    SPI_INPUT_FILE = 0,  /* buf is a NUL-terminated file name, len the offset to start at */
    SPI_INPUT_MEMORY = 1 /* buf is the file's contents, len their size in bytes */
};

/* IsSupported's head argument always points to at least this many bytes
 * (the file's beginning, zero-padded when the file is shorter). */
enum { SPI_HEAD_SIZE = 2048 };

/* Info 0 of an import filter. */
#define SPI_IMPORT_FILTER_TAG "00IN"

typedef struct PictureInfo {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    uint16_t x_density;
    uint16_t y_density;
    int16_t colorDepth;
    uint8_t padding[2];
    /* NULL, or a NUL-terminated text from malloc that the caller frees. */
    char* hInfo;
} PictureInfo;

typedef struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; /* negative: rows run top-down */
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} BITMAPINFOHEADER;

typedef struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
} RGBQUAD;

#ifdef __cplusplus
static_assert(sizeof(PictureInfo) == 32, "PictureInfo must be 32 bytes");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER must be 40 bytes");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD must be 4 bytes");
#else
_Static_assert(sizeof(PictureInfo) == 32, "PictureInfo must be 32 bytes");
_Static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER must be 40 bytes");
_Static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD must be 4 bytes");
#endif

/* Called by the plug-in during decoding; a non-zero answer cancels: the
 * plug-in then frees what it allocated, leaves the outputs NULL and returns
 * SPI_CANCELLED. */
typedef int (*SusieProgressCallback)(int num, int denom, intptr_t data);

/*
 * Info 0 is "00IN", 1 the description, 2n+2 a file mask ("*.png" or several
 * separated by ";"), 2n+3 the format name of that mask. Copies at most
 * buflen - 1 bytes and a NUL (nothing when buflen <= 0); returns the length
 * written without the NUL, 0 for an unknown number.
 */
SUSIE_EXPORT int GetPluginInfo(int infono, char* buf, int buflen);

/* Non-zero when the plug-in can decode the file whose beginning is at head
 * (SPI_HEAD_SIZE bytes). filename may be used as a hint only. */
SUSIE_EXPORT int IsSupported(const char* filename, const void* head);

/* Fills info with the picture's size and colour depth without decoding it. */
SUSIE_EXPORT int GetPictureInfo(const char* buf, intptr_t len, unsigned flag, PictureInfo* info);

/*
 * Decodes the picture. On success *info_block holds a BITMAPINFOHEADER
 * followed by its colour table and *bits_block the pixel rows, laid out as a
 * device-independent bitmap (rows padded to 4 bytes, bottom-up unless
 * biHeight is negative). On any failure both are left NULL. The host presets
 * both to NULL and always passes a progress callback, but a plug-in must
 * accept a NULL one.
 */
SUSIE_EXPORT int GetPicture(const char* buf, intptr_t len, unsigned flag, void** info_block,
                            void** bits_block, SusieProgressCallback progress, intptr_t data);

/* Optional: a reduced picture, same contract as GetPicture; may return
 * SPI_NOT_IMPLEMENTED. */
SUSIE_EXPORT int GetPreview(const char* buf, intptr_t len, unsigned flag, void** info_block,
                            void** bits_block, SusieProgressCallback progress, intptr_t data);

typedef int (*GetPluginInfoFunction)(int, char*, int);
typedef int (*IsSupportedFunction)(const char*, const void*);
typedef int (*GetPictureInfoFunction)(const char*, intptr_t, unsigned, PictureInfo*);
typedef int (*GetPictureFunction)(const char*, intptr_t, unsigned, void**, void**, SusieProgressCallback,
                                  intptr_t);

#ifdef __cplusplus
}
#endif
