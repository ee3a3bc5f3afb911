// A document holding every kind of active content the engines drop, beside the links and the
// form field they keep: for the tests of both engines.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Writes a two-page letter document to `path`: document scripts (/Names /JavaScript with its
// code in a stream), a script /OpenAction chained to a Launch action, catalog and page /AA
// scripts, a text field whose keystroke and format triggers are scripts, link annotations
// running a script (direct, by reference and under an escaped /S name), Launch, ImportData and
// SubmitForm actions; a script link behind a string and one behind a comment that spell the
// stream keyword (and the catalog's /Lang, ahead of its scripts), a script action typed by
// reference, a GoToE action, a GoToR action to a program, URI actions to javascript: and file:
// addresses, an XFA form with a script and a 3D annotation with its script; and what must stay:
// a URI link, a GoTo link to a named destination, a GoToR link to a PDF file, a page /AA GoTo
// and the filled text field. With `objectStreams` the same file is
// rewritten by qpdf with its objects in object streams.
void WriteActiveContentPdf(const std::string& path, bool objectStreams = false);

// What is wrong with `output`, an engine's output of that document, as one line per fault:
// a dropped action's key or name left anywhere in its bytes, a script's text left in an object
// a reader reaches, or a link, the named destination or the filled form field gone. Empty when
// the output is as it should be.
std::vector<std::string> ActiveContentFaults(const std::string& output);

}  // namespace testing_support
