// The Win32 stand-in: handles, constants with their Win32 values, and the
// kernel, GDI and user calls the library makes.
#pragma once

#include <System.hpp>

#include "Win.Desktop.hpp"
#include "Win.Gdi.hpp"
#include "Win.Kernel.hpp"
#include "Win.Screen.hpp"
#include "Win.User.Defer.hpp"
#include "Win.User.hpp"
