// The exports of libpadwick.so ("Padwick.dll"): blank-page padding and page counting of PDF
// files through the DPL library. Callers bind these by name at run time.
//
// Texts are UTF-8 and owned by the caller. The library keeps one process-wide state (the
// status and page of the last operation); the operations are not reentrant, while the two
// getters may be read from another thread during an operation.
#pragma once

#if defined(__GNUC__)
#define PADWICK_EXPORT __attribute__((visibility("default")))
#else
#define PADWICK_EXPORT
#endif

extern "C" {

// Results of AddBlanks and GetPageCount.
enum PadwickResult {
    kPadwickOk = 1,
    kPadwickLibraryUnusable = -3,  // the DPL library cannot be loaded or bound
    kPadwickCannotLoadInput = -4,
    kPadwickCannotAddBlanks = -5,    // the blank pages could not be made or appended
    kPadwickCannotSave = -6,         // the output could not be written; no file is left
    kPadwickOutputNameTooLong = -7,  // the generated output name does not fit kPadwickOutputSize
};

// The size in bytes of the `output` buffer AddBlanks fills when it names the output itself
// (the terminating zero included).
enum { kPadwickOutputSize = 4096 };

// The most blank pages AddBlanks appends; a larger count is refused with
// kPadwickCannotAddBlanks before anything is read or written.
enum { kPadwickMaxBlankPages = 99999 };
// Up to this many blank pages are made one by one; more are appended as a count.
enum { kPadwickBlankPagesCopied = 100 };

// Writes a copy of the PDF `input` followed by `count` blank pages of the size of the input's
// first page. When `output` is an empty text, the output goes to the temporary folder as
// "<title>_BW_<time>.pdf" (title: the input's file name lower-cased, without ".pdf") and that
// name is copied into `output`, which must hold kPadwickOutputSize bytes; a name that would not
// fit (with its terminating zero) is refused with kPadwickOutputNameTooLong before anything is
// written, and `output` is left empty. Otherwise `output` names the file to write. Returns one
// of the results above.
PADWICK_EXPORT int AddBlanks(const char* input, char* output, int count);

// The page count of `input`, or kPadwickLibraryUnusable / kPadwickCannotLoadInput.
PADWICK_EXPORT int GetPageCount(const char* input);

// The status of the last operation: 0 started, 1 input loaded (and output named), 2 blank
// document made, 3 assembling or counting, 4 finished; a failure leaves the last value reached.
PADWICK_EXPORT int GetProcessingStatus();

// The page being processed; reset to 0 by each operation.
PADWICK_EXPORT int GetProcessingPage();
}
