// The rotation module's settings object: holds the four settings across calls and runs one
// file, or every file of a list, per `getTurnelleFile` call. A plain class; the component
// wrapper forwards its property puts, its method and its progress sink here. Each file gets
// its own `RotationJob`; the object keeps only the settings and the last status text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "com/ProgressSink.h"
#include "pdf/CPdfWarnings.h"
#include "turnelle/TurnelleSettings.h"

namespace turnelle {

class TurnelleCom {
  public:
    // Puts a setting by the name it has on the automation interface ("type", "rotateAngle",
    // "force" take a number, "rotatePages" a text). False when there is no property of that
    // name and kind; the settings are then unchanged.
    bool PutProperty(std::string_view name, int32_t value);
    bool PutProperty(std::string_view name, const std::string& value);

    const TurnelleSettings& Settings() const { return m_settings; }

    // Rotates `input` into `output`, or every file of the list `input` names. The result is
    // empty on success, else the message of the failure (for a list: of the last line's run).
    // `params` is accepted and not used.
    std::string getTurnelleFile(const std::string& input, const std::string& output,
                                const std::string& params);

    // What the runs of the last getTurnelleFile call got past in their inputs (damaged
    // page-tree nodes, table entries treated as free), for every file of a list. The sink
    // receives them too, after the call's runs.
    const CPdfWarnings& Warnings() const { return m_warnings; }

    // Where the runs report their progress and warnings; nullptr (the default) drops them.
    // The sink must outlive its use.
    void SetProgressSink(com::IProgressSink* sink) { m_progress = sink; }

  private:
    // The status of one file, or of every file of the list `input` names.
    std::string RunInput(const std::string& input, const std::string& output);
    bool RunSingleFile(const std::string& input, const std::string& output);
    void RunFileList(std::istream& list, const std::string& outputArgument);

    TurnelleSettings m_settings;
    std::string m_status;
    CPdfWarnings m_warnings;
    com::IProgressSink* m_progress = nullptr;
};

}  // namespace turnelle
