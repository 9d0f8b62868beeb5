/* reference_extract ARCHIVE DIR: the least work an extractor must do, as the
 * lower limit of the benchmark. Per entry: read the local header, create the
 * folders once, create the file, inflate (raw deflate) or copy the data with
 * 65,536-byte reads into 61,440-byte pieces, write each piece, close.
 * No checksum, no temporary file, no times or attributes; it trusts the
 * archive (names are not confined), so run it only on the bench archives. */
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

enum { kReadSize = 65536, kPieceSize = 61440, kEndSearch = 65535 + 22, kMaxPath = 4096 };

static void Die(const char* what, const char* detail) {
    fprintf(stderr, "reference_extract: %s %s: %s\n", what, detail, strerror(errno));
    exit(1);
}

static uint32_t Get16(const unsigned char* p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8); }
static uint32_t Get32(const unsigned char* p) { return Get16(p) | (Get16(p + 2) << 16); }

static void ReadAt(int fd, void* out, size_t size, off_t at) {
    if (pread(fd, out, size, at) != (ssize_t)size) Die("short read at", "archive");
}

static void WriteAll(int fd, const unsigned char* data, size_t size, const char* path) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n <= 0) Die("cannot write", path);
        data += n;
        size -= (size_t)n;
    }
}

/* MakeFolders creates every level of path's folder part; the last folder made
 * is remembered, so entries of one folder create it once. */
static void MakeFolders(const char* path, size_t length) {
    static char last[kMaxPath];
    char folder[kMaxPath];
    if (length == 0 || (strlen(last) == length && memcmp(last, path, length) == 0)) return;
    memcpy(folder, path, length);
    folder[length] = 0;
    for (size_t i = 1; i <= length; ++i) {
        if (folder[i] != '/' && folder[i] != 0) continue;
        folder[i] = 0;
        if (mkdir(folder, 0755) != 0 && errno != EEXIST) Die("cannot create folder", folder);
        folder[i] = i == length ? 0 : '/';
    }
    memcpy(last, path, length);
    last[length] = 0;
}

static void Inflate(int archive, int out, uint32_t size, const char* path) {
    static unsigned char in[kReadSize], piece[kPieceSize];
    z_stream z;
    memset(&z, 0, sizeof(z));
    if (inflateInit2(&z, -15) != Z_OK) Die("inflateInit2 failed for", path);
    uint32_t left = size;
    int result = Z_OK;
    while (left > 0 && result != Z_STREAM_END) {
        z.next_out = piece;
        z.avail_out = left < kPieceSize ? left : kPieceSize;
        const uInt wanted = z.avail_out;
        while (z.avail_out > 0 && result != Z_STREAM_END) {
            if (z.avail_in == 0) {
                ssize_t n = read(archive, in, kReadSize);
                if (n <= 0) Die("archive ends inside", path);
                z.next_in = in;
                z.avail_in = (uInt)n;
            }
            result = inflate(&z, Z_NO_FLUSH);
            if (result < 0 && result != Z_BUF_ERROR) Die("corrupt data in", path);
        }
        WriteAll(out, piece, wanted - z.avail_out, path);
        left -= wanted - z.avail_out;
    }
    inflateEnd(&z);
}

static void Copy(int archive, int out, uint32_t size, const char* path) {
    static unsigned char piece[kPieceSize];
    for (uint32_t left = size; left > 0;) {
        size_t n = left < kPieceSize ? left : kPieceSize;
        if (read(archive, piece, n) != (ssize_t)n) Die("archive ends inside", path);
        WriteAll(out, piece, n, path);
        left -= (uint32_t)n;
    }
}

static void ExtractEntry(int archive, const unsigned char* central, const char* folder) {
    const uint32_t method = Get16(central + 10), size = Get32(central + 24);
    const uint32_t nameLength = Get16(central + 28), offset = Get32(central + 42);
    char path[kMaxPath];
    const size_t base = (size_t)snprintf(path, sizeof(path), "%s/", folder);
    if (base + nameLength >= sizeof(path)) Die("name too long in", "central directory");
    memcpy(path + base, central + 46, nameLength);
    path[base + nameLength] = 0;
    const char* slash = strrchr(path, '/');
    MakeFolders(path, (size_t)(slash - path));
    if (slash[1] == 0) return; /* a directory entry */

    unsigned char local[30];
    ReadAt(archive, local, sizeof(local), offset);
    if (lseek(archive, (off_t)offset + 30 + Get16(local + 26) + Get16(local + 28), SEEK_SET) < 0)
        Die("cannot seek for", path);
    int out = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) Die("cannot create", path);
    if (method == 8) Inflate(archive, out, size, path);
    else if (method == 0) Copy(archive, out, size, path);
    else Die("unsupported method in", path);
    if (close(out) != 0) Die("cannot close", path);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: reference_extract ARCHIVE DIR\n");
        return 2;
    }
    int archive = open(argv[1], O_RDONLY);
    if (archive < 0) Die("cannot open", argv[1]);
    const off_t size = lseek(archive, 0, SEEK_END);
    const off_t tail = size < kEndSearch ? size : kEndSearch;
    unsigned char* end = malloc((size_t)tail);
    ReadAt(archive, end, (size_t)tail, size - tail);
    off_t at = tail - 22;
    while (at >= 0 && Get32(end + at) != 0x06054B50) --at;
    if (at < 0) Die("no end record in", argv[1]);
    const uint32_t entries = Get16(end + at + 10), centralSize = Get32(end + at + 12);
    const uint32_t centralOffset = Get32(end + at + 16);
    free(end);

    unsigned char* central = malloc(centralSize);
    ReadAt(archive, central, centralSize, centralOffset);
    const unsigned char* record = central;
    for (uint32_t i = 0; i < entries; ++i) {
        if (Get32(record) != 0x02014B50) Die("bad central record in", argv[1]);
        ExtractEntry(archive, record, argv[2]);
        record += 46 + Get16(record + 28) + Get16(record + 30) + Get16(record + 32);
    }
    free(central);
    close(archive);
    return 0;
}
