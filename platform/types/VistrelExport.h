// Marks a class or function as exported from its shared library; everything else stays hidden.
#pragma once

#define VISTREL_EXPORT __attribute__((visibility("default")))
