// The rotation module's settings object: holds the four settings across calls and runs one
// file, or every file of a list, per `getTurnelleFile` call. A plain class; the component
// wrapper forwards its property puts and its method here. Each file gets its own
// `RotationJob`; the object keeps only the settings and the last status text.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "pdf/CPdfWarnings.h"
#include "turnelle/TurnelleSettings.h"

namespace turnelle {

class TurnelleCom {
  public:
    TurnelleCom();

    void PutType(int32_t value) { m_settings.type = value; }
    void PutRotateAngle(int32_t value) { m_settings.rotateAngle = value; }
    void PutRotatePages(std::string value) { m_settings.rotatePages = std::move(value); }
    void PutForce(int32_t value) { m_settings.force = value != 0; }

    // Puts the setting called `name` ("type", "rotateAngle", "rotatePages" or "force") from
    // its text form. False with `error` set for an unknown name or a number that is not a
    // whole decimal 32-bit value.
    bool PutByName(std::string_view name, std::string_view value, std::string* error);

    const TurnelleSettings& Settings() const { return m_settings; }

    // Rotates `input` into `output`, or every file of the list `input` names. The result is
    // empty on success, else the message of the failure (for a list: of the last line's run).
    // `params` is accepted and not used.
    std::string getTurnelleFile(const std::string& input, const std::string& output,
                                const std::string& params);

    // What the runs of the last getTurnelleFile call got past in their inputs (damaged
    // page-tree nodes, table entries treated as free), for every file of a list.
    const CPdfWarnings& Warnings() const { return m_warnings; }

    // Where the progress texts go (standard output unless set); must outlive the calls.
    void SetProgressStream(std::ostream& out) { m_progress = &out; }

  private:
    bool RunSingleFile(const std::string& input, const std::string& output);
    void RunFileList(const std::string& list, const std::string& output);

    TurnelleSettings m_settings;
    std::string m_status;
    CPdfWarnings m_warnings;
    std::ostream* m_progress;
};

}  // namespace turnelle
