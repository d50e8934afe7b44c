// The archive file: one element tree, written field by field, little-endian.
//
//   file      = magic "DKAR" (4 bytes), uint32 format version (1), element (the root), nothing after it
//   element   = text name, uint32 attribute count, attribute x count, uint32 child count, element x count
//   attribute = text name, uint8 type, value
//   value     = int32 (type 1) | float32, IEEE bits (type 2) | text (type 3) | GUID (type 4): uint32 Data1,
//               uint16 Data2, uint16 Data3, 8 bytes Data4
//   text      = uint32 length, that many bytes (no terminator; UTF-8 by convention, kept as bytes)
//
// A reader checks before it allocates: every length and count against the bytes left (an attribute takes at least
// 9 bytes, an element 12), a type it knows, a nesting depth of at most kMaxArchiveDepth, and no bytes after the
// root. A bad file gives no tree at all and a reason.
#pragma once

#include "datakeeper/CArchiveElement.h"
#include "types/VistrelExport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace datakeeper {

constexpr char kArchiveMagic[4] = {'D', 'K', 'A', 'R'};
constexpr uint32_t kArchiveFormatVersion = 1;
constexpr int kMaxArchiveDepth = 64;

// The bytes of a file holding `root` and what lies below it.
VISTREL_EXPORT std::vector<uint8_t> EncodeArchive(const CArchiveElement& root);

// Reads a file's bytes as a tree whose elements belong to `manager` (the caller owns the root); null with `error`
// set when the bytes are not a whole, well-formed archive.
VISTREL_EXPORT std::unique_ptr<CArchiveElement> DecodeArchive(CArchiveManager& manager, const uint8_t* data,
                                                              size_t size, std::string& error);

}  // namespace datakeeper
