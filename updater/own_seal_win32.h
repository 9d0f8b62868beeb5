// The running updater's own seal, read from its seal resource.
#pragma once

#include "archive/archive_seal.h"

// OwnSeal is the seal of this process's executable. A program built without
// the resource (the test programs) is unsealed; a resource that is not a
// seal raises EForeignArchive, so a damaged seal never means "install anything".
TArchiveSeal OwnSeal();
