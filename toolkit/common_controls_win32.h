// The common controls (version 6, from the side-by-side assembly the manifest
// names), found at run time. A static import would be loaded before the
// start-up restricts the library search, and the library's own start-up loads
// uxtheme by name: under that search a uxtheme.dll in the program's folder
// would be the one loaded.
#pragma once

#include <windows.h>

// CommonControls is the loaded common-controls library, loaded at the first
// call and kept for the process's life; null when it cannot be loaded.
HMODULE CommonControls();
