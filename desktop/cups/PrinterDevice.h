// The booklet printer's own descriptions, without talking to the print server: its device URI
// (where imposed jobs go and with which setup), the PPD that lets print dialogs offer the
// target's paper sizes, the paper a job asked for, and the default booklet job.
//
// Device URIs:
//   velmora://queue/QUEUE[?setup=FILE]   send the booklet to print queue QUEUE
//   velmora://folder/PATH[?setup=FILE]   write it into the folder /PATH
// QUEUE, PATH and FILE are percent-encoded; FILE is an absolute setup file (.plf) name. Without
// a setup the job becomes a booklet fitted to the paper the job asked for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/core/JobSetup.h"

namespace desktop {

inline constexpr std::string_view kBackendScheme = "velmora";

struct DeviceTarget {
    enum class Kind { Queue, Folder };
    Kind kind = Kind::Queue;
    std::string name;   // the queue, or the folder's absolute path
    std::string setup;  // an absolute setup file name; empty: the default booklet

    bool operator==(const DeviceTarget&) const = default;
};

// The target a device URI names; nullopt with `error` set for anything else.
std::optional<DeviceTarget> ParseDeviceUri(std::string_view uri, std::string* error);
std::string DeviceUri(const DeviceTarget& target);

// True for a name a print queue may have: 1 to 127 printable characters, none of them a blank,
// "/", "#", "\\", "?", "'" or '"'.
bool IsQueueName(std::string_view name);

struct Paper {
    std::string keyword;  // the PPD's PageSize choice ("A4", "Letter", "iso_a5_148x210mm")
    int widthPt = 0;
    int heightPt = 0;

    bool operator==(const Paper&) const = default;
};

// The PPD of a booklet printer offering `papers` (the first is the default when `defaultPaper`
// is not among them). It takes PDF and PostScript as they are, so the backend sees the document
// the program printed.
std::string BookletPpd(std::string_view description, const std::vector<Paper>& papers,
                       std::string_view defaultPaper);

// The paper `keyword` of a PPD written by BookletPpd (its default when `keyword` is empty or
// unknown); nullopt when the text offers none.
std::optional<Paper> PpdPaper(std::string_view ppd, std::string_view keyword);

// The default job: a saddle-stitched booklet (pages 8-1, 2-7, ...) padded with blank pages, on
// `paper` turned landscape, pages fitted to their halves, no cleaning.
JobSetup BookletJob(const Paper& paper);

}  // namespace desktop
