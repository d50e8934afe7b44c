// The mouse cursors of the overlay: the library's own creation cursors (shown while a shape is being drawn) and
// the system sizing cursors that shapes name by their Windows ids. The canvas asks for a cursor by id and turns it
// into a QCursor here. UI thread only (cursors are GUI objects).
#pragma once

#include "types/VistrelExport.h"
#include "types/WinUser.h"

#include <cstdint>

class QCursor;

// The library's creation cursors: 4010 in most editions, 4011 in edition 3, 4012 in edition 1.
constexpr uint32_t IDC_FIGURON_CREATE = 4010;
constexpr uint32_t IDC_FIGURON_CREATE_EDITION3 = 4011;
constexpr uint32_t IDC_FIGURON_CREATE_EDITION1 = 4012;

// The creation cursor of the edition in force (g_OEMProduct).
VISTREL_EXPORT uint32_t CreationCursorId();

// The cursor of `id`: the library's pictures with their hot spots for 4010-4012, the matching Qt shape for the
// system sizing ids that shapes answer from GetCursorShape (IDC_SIZE*, types/WinUser.h), the arrow for anything else.
VISTREL_EXPORT QCursor LoadFiguronCursor(uint32_t id);
