/* The C library's file-changing functions, defined here so that they take
 * precedence over the library's own for the whole process (the archive code
 * and the C++ library alike). Each checks its path while the guard is armed
 * and then makes the system call itself. */
#undef _FORTIFY_SOURCE
#define _GNU_SOURCE
#include "tests/fuzz/write_guard.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

static char guardRoot[PATH_MAX]; /* empty while disarmed */
static size_t guardRootLength;
static size_t budgetLeft;

void ArmWriteGuard(const char* root, size_t writeBudget) {
    guardRootLength = strlen(root);
    if (guardRootLength >= sizeof(guardRoot)) abort();
    memcpy(guardRoot, root, guardRootLength + 1);
    while (guardRootLength > 1 && guardRoot[guardRootLength - 1] == '/') guardRoot[--guardRootLength] = 0;
    budgetLeft = writeBudget;
}

void DisarmWriteGuard(void) {
    guardRoot[0] = 0;
    guardRootLength = 0;
}

/* Lexical resolves "." and ".." on the text of an absolute path, in place;
 * ".." at the root stays at the root. */
static void Lexical(char* path) {
    char* out = path;
    const char* in = path;
    while (*in) {
        while (*in == '/') ++in;
        const char* end = in;
        while (*end && *end != '/') ++end;
        const size_t length = (size_t)(end - in);
        if (length == 0 || (length == 1 && in[0] == '.')) {
            /* nothing */
        } else if (length == 2 && in[0] == '.' && in[1] == '.') {
            while (out > path && *--out != '/') {
            }
        } else {
            *out++ = '/';
            memmove(out, in, length);
            out += length;
        }
        in = end;
    }
    if (out == path) *out++ = '/';
    *out = 0;
}

/* Absolute joins path to the folder of dirfd (or the current folder). */
static int Absolute(int dirfd, const char* path, char* out, size_t size) {
    char base[PATH_MAX] = "";
    if (path[0] != '/') {
        if (dirfd == AT_FDCWD) {
            if (!getcwd(base, sizeof(base))) return -1;
        } else {
            char link[64];
            snprintf(link, sizeof(link), "/proc/self/fd/%d", dirfd);
            const ssize_t n = readlink(link, base, sizeof(base) - 1);
            if (n < 0) return -1;
            base[n] = 0;
        }
    }
    if ((size_t)snprintf(out, size, "%s/%s", base, path) >= size) return -1;
    Lexical(out);
    return 0;
}

static void Check(const char* operation, int dirfd, const char* path) {
    if (guardRootLength == 0 || path == NULL) return;
    char full[2 * PATH_MAX];
    if (Absolute(dirfd, path, full, sizeof(full)) == 0 && strncmp(full, guardRoot, guardRootLength) == 0 &&
        (full[guardRootLength] == 0 || full[guardRootLength] == '/'))
        return;
    fprintf(stderr, "==write guard== %s outside the target folder %s: \"%s\" (resolves to %s)\n", operation,
            guardRoot, path, full);
    abort();
}

static int WritesTo(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }

static int Open(int dirfd, const char* path, int flags, mode_t mode) {
    if (WritesTo(flags) || (flags & O_TMPFILE) == O_TMPFILE) Check("open", dirfd, path);
    return (int)syscall(SYS_openat, dirfd, path, flags, mode);
}

static mode_t ModeArgument(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return Open(AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return Open(AT_FDCWD, path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return Open(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return Open(dirfd, path, flags, mode);
}

int __open_2(const char* path, int flags) { return Open(AT_FDCWD, path, flags, 0); }
int __open64_2(const char* path, int flags) { return Open(AT_FDCWD, path, flags, 0); }
int creat(const char* path, mode_t mode) { return Open(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode); }
int creat64(const char* path, mode_t mode) { return Open(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode); }

int mkdirat(int dirfd, const char* path, mode_t mode) {
    struct stat info;
    /* asking for a folder that is already there changes nothing */
    if (fstatat(dirfd, path, &info, 0) != 0) Check("mkdir", dirfd, path);
    return (int)syscall(SYS_mkdirat, dirfd, path, mode);
}

int mkdir(const char* path, mode_t mode) { return mkdirat(AT_FDCWD, path, mode); }

int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, unsigned int flags) {
    Check("rename from", olddirfd, oldpath);
    Check("rename to", newdirfd, newpath);
    return (int)syscall(SYS_renameat2, olddirfd, oldpath, newdirfd, newpath, flags);
}

int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath) {
    return renameat2(olddirfd, oldpath, newdirfd, newpath, 0);
}

int rename(const char* oldpath, const char* newpath) { return renameat2(AT_FDCWD, oldpath, AT_FDCWD, newpath, 0); }

int unlinkat(int dirfd, const char* path, int flags) {
    Check("unlink", dirfd, path);
    return (int)syscall(SYS_unlinkat, dirfd, path, flags);
}

int unlink(const char* path) { return unlinkat(AT_FDCWD, path, 0); }
int rmdir(const char* path) { return unlinkat(AT_FDCWD, path, AT_REMOVEDIR); }

int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags) {
    Check("link", newdirfd, newpath);
    return (int)syscall(SYS_linkat, olddirfd, oldpath, newdirfd, newpath, flags);
}

int link(const char* oldpath, const char* newpath) { return linkat(AT_FDCWD, oldpath, AT_FDCWD, newpath, 0); }

int symlinkat(const char* target, int newdirfd, const char* linkpath) {
    Check("symlink", newdirfd, linkpath);
    return (int)syscall(SYS_symlinkat, target, newdirfd, linkpath);
}

int symlink(const char* target, const char* linkpath) { return symlinkat(target, AT_FDCWD, linkpath); }

int truncate(const char* path, off_t length) {
    Check("truncate", AT_FDCWD, path);
    return (int)syscall(SYS_truncate, path, length);
}

int truncate64(const char* path, off_t length) { return truncate(path, length); }

/* Budget draws count bytes of writes; past the budget a write fails as on a full disk. */
static int Budget(int fd, size_t count) {
    if (guardRootLength == 0 || fd <= 2) return 1;
    if (count > budgetLeft) {
        budgetLeft = 0;
        errno = ENOSPC;
        return 0;
    }
    budgetLeft -= count;
    return 1;
}

/* The sanitizer's own versions check the buffer before the write; use them when present. */
extern ssize_t __interceptor_write(int fd, const void* buffer, size_t count) __attribute__((weak));
extern ssize_t __interceptor_pwrite(int fd, const void* buffer, size_t count, off_t offset) __attribute__((weak));

ssize_t write(int fd, const void* buffer, size_t count) {
    if (!Budget(fd, count)) return -1;
    if (__interceptor_write) return __interceptor_write(fd, buffer, count);
    return syscall(SYS_write, fd, buffer, count);
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    if (!Budget(fd, count)) return -1;
    if (__interceptor_pwrite) return __interceptor_pwrite(fd, buffer, count, offset);
    return syscall(SYS_pwrite64, fd, buffer, count, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset) { return pwrite(fd, buffer, count, offset); }
