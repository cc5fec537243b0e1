#pragma once

/*
 * What Orbet and its plug-in host processes say to each other over the
 * host's standard input and output. Included by the program (C++), the
 * native host (C++) and the Windows hosts (C, MinGW), so only fixed-width
 * types and no padding.
 *
 * Every message is a WireHeader followed by exactly `length` payload bytes.
 * A host answers each request with one reply of the same type, in order; it
 * starts by sending WIRE_HELLO unasked. Texts on the wire are UTF-8, paths
 * the file system's bytes of Unix paths; a Windows host turns them into
 * Windows paths itself.
 *
 * Pictures never cross the pipe. The input is a file the host maps: the
 * picture file itself, by the name of the program's open descriptor
 * (/proc/<pid>/fd/<n>) where there is one, else by its own name (native
 * host) or as a copy in the program's private exchange folder (in
 * $XDG_RUNTIME_DIR, or a folder of the user's own in /dev/shm). The host
 * writes the header block followed by the pixel block over an output file
 * in that folder, which the program reads back with pread: whatever the
 * host does to the file afterwards cannot fault the program.
 */

#include <stdint.h>

#define ORBET_WIRE_MAGIC 0x4F524231u /* "1BRO" little-endian */

/* A payload above this is garbage: no request or reply comes near it. */
#define ORBET_WIRE_MAX_PAYLOAD (1u << 20)

enum {
    /* host -> program at start; value: the host's pointer size in bytes */
    WIRE_HELLO = 1,
    /* payload: the plug-in's path. Reply value: plug-in id > 0, or 0 when the
     * plug-in cannot be loaded (payload: the reason). */
    WIRE_LOAD = 2,
    /* value: plug-in id; payload: int32 info number. Reply payload: the
     * text up to its NUL, UTF-8. */
    WIRE_INFO = 3,
    /* value: plug-in id; payload: ORBET_WIRE_HEAD_SIZE bytes of the file's
     * beginning, then the file's path. Reply value: 1 when accepted. */
    WIRE_SUPPORTED = 4,
    /* value: plug-in id; payload: WirePictureRequest then three
     * NUL-terminated paths: input, output, cancel. Reply value: the
     * plug-in's result code; payload: WirePictureReply. */
    WIRE_PICTURE = 5,
    /* value: plug-in id. Reply value 0. */
    WIRE_FREE = 6
};

#define ORBET_WIRE_HEAD_SIZE 2048

/* What a plug-in answers to info 0 when it is an import filter. */
#define ORBET_WIRE_IMPORT_TAG "00IN"

/* The input kind the hosts pass: the picture's contents in memory. */
#define WIRE_INPUT_MEMORY 1u

/* The result codes a WIRE_PICTURE reply carries: the plug-in's own, or the
 * host's for what failed around it. The same numbers as the plug-in
 * interface's (SusiePlugin.h), which the Windows hosts cannot include. */
enum {
    WIRE_RESULT_NOT_IMPLEMENTED = -1,
    WIRE_RESULT_SUCCESS = 0,
    WIRE_RESULT_CANCELLED = 1,
    WIRE_RESULT_NO_MEMORY = 4,
    WIRE_RESULT_MEMORY_ERROR = 5,
    WIRE_RESULT_READ_ERROR = 6
};

typedef struct WireHeader {
    uint32_t magic;
    uint32_t type;
    uint32_t length;
    int32_t value;
} WireHeader;

typedef struct WirePictureRequest {
    /* bytes of the input file that hold the picture file's contents */
    uint64_t inputBytes;
} WirePictureRequest;

typedef struct WirePictureReply {
    /* The output file holds headerBytes of the header block followed by
     * pixelBytes of the pixel block: each block as far as the plug-in's
     * allocation reaches, whatever the header inside claims. */
    uint64_t headerBytes;
    uint64_t pixelBytes;
} WirePictureReply;

/* The file named by a picture request's cancel path appears when the
 * program no longer wants the picture; the host's progress callback looks
 * for it at most this often and answers "cancel" once it is there. */
#define ORBET_WIRE_CANCEL_POLL_MS 20

/* Set in a native host's environment to this value while the user has
 * Orbet show pictures as stored: plug-ins whose decoder turns pictures by
 * a transform of the format's own (HEIF's irot and imir, JPEG XL's
 * orientation) leave it unapplied. Read afresh by each decoding; a host
 * runs with one setting for its whole life. */
#define ORBET_SPI_ORIENTATION_VARIABLE "ORBET_SPI_ORIENTATION"
#define ORBET_SPI_ORIENTATION_STORED "stored"

#ifdef __cplusplus
static_assert(sizeof(WireHeader) == 16, "WireHeader must be 16 bytes");
static_assert(sizeof(WirePictureRequest) == 8, "WirePictureRequest must be 8 bytes");
static_assert(sizeof(WirePictureReply) == 16, "WirePictureReply must be 16 bytes");
#else
_Static_assert(sizeof(WireHeader) == 16, "WireHeader must be 16 bytes");
_Static_assert(sizeof(WirePictureRequest) == 8, "WirePictureRequest must be 8 bytes");
_Static_assert(sizeof(WirePictureReply) == 16, "WirePictureReply must be 16 bytes");
#endif
