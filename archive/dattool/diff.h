// `dattool diff`: what the update run would do to an installation, touching nothing.
#pragma once

#include "archive/dattool/dattool.h"
#include "archive/zip_file.h"

// DiffFolder prints, for zip open for reading, each entry as new, replaced,
// unchanged or where the run stops in folder, then the files of folder that
// the archive does not hold, then the counts; 0 when the folder already holds
// what the run would write, else 1. A folder that cannot be read whole raises EToolInput.
int DiffFolder(TZipFile& zip, const UString& folder, TConsole& console);
