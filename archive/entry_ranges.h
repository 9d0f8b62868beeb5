// Overlapping entries: two central records whose local headers and data share
// bytes of the archive (the shape of a "zip bomb" that reuses one compressed
// stream for many entries). Extraction refuses such an archive before it
// writes anything.
#pragma once

class TZipFile;

// CheckNoEntriesOverlap raises EZipException "Entries ... overlap" naming two
// entries whose spans share bytes. An entry's span runs from its local header
// to the end of the data it is read for: CompressedSize bytes, or for a stored
// entry UncompressedSize bytes (a stored entry is copied by that count). An
// entry whose local header is damaged is left to extraction to report.
void CheckNoEntriesOverlap(TZipFile& zip);
