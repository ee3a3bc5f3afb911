// Making the stream to read for a stream object from its /Filter and /DecodeParms entries
// (or their abbreviations /F and /DP): the chain of decoding streams over its window.
#pragma once

#include <cstddef>

#include "pdf/CPdfFilterStream.h"

class CPdfDict;

// The most filters one stream may chain.
inline constexpr int kMaxFilterChain = 8;

// The stream to read: the window itself when there is no filter, else the decoding chain over
// it, the first filter of the array reading the window. Every standard filter a content,
// object or cross-reference stream may carry is decoded: FlateDecode, LZWDecode (with
// EarlyChange), ASCIIHexDecode, ASCII85Decode, RunLengthDecode and their abbreviations Fl,
// LZW, AHx, A85, RL, with the PNG and TIFF predictors of Flate and LZW. Parameters come from
// a dictionary for a single filter, or from the element of a parameter array at the filter's
// place. Each stream of the chain decodes at most `decodeLimit` bytes.
//
// Takes over `window`. nullptr when the Filter entry cannot be read (not a name or an array
// of names, or a chain longer than kMaxFilterChain). Raises "Stream filter not supported" for
// any other filter name (the image filters among them).
CPdfStreamPtr AddFilters(CPdfStreamPtr window, const CPdfDict& dict,
                         size_t decodeLimit = kDefaultDecodeLimit);
