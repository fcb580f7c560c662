#pragma once

#include <cstdint>

// Every window, gadget, menu, font, image and running program is addressed by a 32-bit object
// number. The application picks small numbers itself or asks for one with DYNAMIC_NUMBER.
inline constexpr int DYNAMIC_NUMBER = -1;

// Stands for "no value given" in coordinates and sizes throughout the toolkit.
inline constexpr int IGNORE_VALUE = -65535;

// A platform object (window, control, image, font...) as the application sees it: an opaque,
// pointer-sized value that is non-zero while the object exists. Operations that create an object
// under a fixed number return its handle; for DYNAMIC_NUMBER they return the new number instead.
using Handle = std::intptr_t;
