// platform/ddraw.h -- direct access to the display: the display object, its
// surfaces and a clipper.
#pragma once
#include <cstdint>

struct os_ddraw;
