// What keeps the window from writing over a user's file unasked: it remembers which output
// files this window wrote, and for which input, since it opened. Writing over any other file
// that is there needs the user's yes first. The quiet command line has no guard: scripts rely
// on replacing their outputs.
#pragma once

#include <map>
#include <string>

namespace desktop {

inline constexpr char kReplaceTitle[] = "Replace";
inline constexpr char kReplaceButton[] = "Replace";

class OutputGuard {
  public:
    // This window wrote `output` for `input`.
    void Wrote(const std::string& input, const std::string& output);

    // Whether writing `output` for `input` needs the user's yes: the file is there and this
    // window did not write it for that same input.
    bool NeedsConfirmation(const std::string& input, const std::string& output) const;

  private:
    std::map<std::string, std::string> m_inputOfOutput;  // by the outputs' absolute names
};

// "Replace NAME?" with the file's name (without its folder) and where it is.
std::string ReplaceQuestion(const std::string& output);

}  // namespace desktop
