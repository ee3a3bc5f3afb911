// Real producers' files changed the way some writers leave them, for the tests of what the
// reader gets past: each takes a file written by Ghostscript or qpdf and writes the variant
// beside it, failing the test (std::runtime_error) when a tool fails.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// `pdf` (a file with one classic table, as Ghostscript writes it) with its table grown by one
// entry per number in `targets`: the new numbers are marked in use at the offsets of the
// objects `targets` names, as tables that reserve numbers they never write do. Returns the
// first new number.
int AddEntriesLeadingToOtherObjects(const std::string& pdf, const std::vector<int>& targets,
                                    const std::string& out);

// `pdf` rewritten by qpdf with object streams, then an incremental update appended that
// writes every compressed object again as a plain object, with a classic table: the old object
// stream and cross-reference stream stay in the file, in use in the older section but no
// longer holding anything current.
void ObjectStreamsWithUpdate(const std::string& pdf, const std::string& out);

// Re-encodes the page content streams of `pdf` (through `qpdf --qdf`) with the filter chains
// `chains` (page k takes chain k, cycling; see testing/scripts/encode_content_streams.py).
void EncodeContentStreams(const std::string& pdf, const std::vector<std::string>& chains,
                          const std::string& out);

}  // namespace testing_support
