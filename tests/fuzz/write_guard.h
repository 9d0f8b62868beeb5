/* The write guard of the extraction fuzzer. While it is armed, every call
 * that changes the file system (open for writing, mkdir, rename, unlink,
 * rmdir, link, symlink, truncate) must name a path below the guarded folder;
 * any other path stops the process before the change happens, so libFuzzer
 * keeps the input. Writes also draw on a small budget: past it they fail
 * with ENOSPC, as on a full disk, so that an archive whose entries inflate
 * far beyond its own size cannot fill the machine. */
#ifndef KELVO_TESTS_FUZZ_WRITE_GUARD_H
#define KELVO_TESTS_FUZZ_WRITE_GUARD_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ArmWriteGuard confines changes to root (an absolute path) and allows
 * writeBudget bytes of writes until disarmed. */
void ArmWriteGuard(const char* root, size_t writeBudget);
void DisarmWriteGuard(void);

#ifdef __cplusplus
}
#endif

#endif
