// `GridaneCom`: the imposition engine's settings object. A caller puts the job settings as
// properties and calls `getGridaneFile` with an input and an output name; the result is the
// status text, empty on success.
//
// The object owns its settings (kept from one call to the next) and the status text. Every
// run works on its own copy of the settings inside an `ImpositionJob`, so nothing of one run
// reaches the next except the status text. Texts are UTF-8; the component wrapper converts
// from and to wide strings at its boundary. One call at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "com/ProgressSink.h"
#include "gridane/JobSettings.h"
#include "pdf/CPdfWarnings.h"
#include "platform/FileSpace.h"

namespace gridane {

class GridaneCom {
  public:
    // Imposes `input` (a PDF file, or a file list) into `output` and returns the status text:
    // empty on success, the name of a temporary file for the doubling pre-pass, else the
    // message of the failure.
    std::string getGridaneFile(const std::string& input, const std::string& output);

    // Puts a property by the name it has on the automation interface. False when there is no
    // property of that name and kind (a flag or integer takes a number, a box or file name a
    // text); the settings are then unchanged.
    bool PutProperty(std::string_view name, int32_t value);
    bool PutProperty(std::string_view name, const std::string& value);

    const JobSettings& Settings() const { return m_settings; }

    // The grid step-and-repeat chose in the last run (of a list: its last file), columns and
    // rows as the sheet is shown, and whether the cards were turned by a quarter to fit more;
    // 0 x 0 when the run chose none (no repeat, a grid given, or a failed run).
    struct ChosenCards {
        Grid grid{0, 0};
        bool turned = false;
        bool operator==(const ChosenCards&) const = default;
    };
    const ChosenCards& Cards() const { return m_cards; }

    // What the runs of the last getGridaneFile call got past in their inputs, for every file
    // of a list. The sink receives them too, after the call's runs.
    const CPdfWarnings& Warnings() const { return m_warnings; }

    // Where the runs report their progress and warnings; nullptr (the default) drops them.
    // The sink must outlive its use.
    void SetProgressSink(com::IProgressSink* sink) { m_progress = sink; }
    // Where the runs read their input and write their output and pre-pass files: on disk (the
    // default), or in a store of in-memory files that must outlive its use.
    void SetFiles(platform::FileSpace files) { m_files = files; }

  private:
    // One file, or every file of the list `input` names; leaves the status text.
    void RunInput(const std::string& input, const std::string& output);
    void RunSingleFile(const std::string& input, const std::string& output);
    void RunFileList(std::istream& list, const std::string& outputArgument);

    JobSettings m_settings;
    ChosenCards m_cards;
    std::string m_status;
    CPdfWarnings m_warnings;
    com::IProgressSink* m_progress = nullptr;
    platform::FileSpace m_files;
};

}  // namespace gridane
