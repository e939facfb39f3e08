// The separator of the PC's paths, decided here once for the programs and the library: the one
// the transfers build PC paths with, the folder pickers give back, and the library splits a local
// path's file name at. Free of Qt, so that the library can use it too.
#pragma once

namespace pcpath {

#if defined(_WIN32)
inline constexpr char16_t Separator = u'\\';
#else
// A backslash is part of a file name here, not a separator.
inline constexpr char16_t Separator = u'/';
#endif

} // namespace pcpath
