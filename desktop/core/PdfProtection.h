// Protected PDF inputs. A PDF that opens without a password but carries an owner password
// (which only limits what a reader may do) is imposed from an unencrypted copy; one that needs
// a password to open is imposed only with that password. The copy lives in the run's private
// folder; the password is kept in memory only, never in a setup file or a log.
#pragma once

#include <string>
#include <string_view>

namespace desktop {

struct UnlockOutcome {
    enum class Kind {
        NotEncrypted,   // nothing to do: the input is used as it is
        Unlocked,       // the unencrypted copy is written
        NeedsPassword,  // it does not open without a password, and none was given
        WrongPassword,  // the password given does not open it
        Failed,         // encrypted, but no copy could be written (`error` says why)
    };
    Kind kind = Kind::NotEncrypted;
    std::string error;
};

// Whether `pdf` is encrypted and, when it is, whether `password` opens it ("" for none); a
// file that is not a readable PDF counts as not encrypted (the engine says what it is). When
// `copy` is not empty and the file opens, its unencrypted copy is written there.
UnlockOutcome UnlockPdf(const std::string& pdf, const std::string& password,
                        const std::string& copy);

// The messages, naming the file (without its folder: a batch row's line names it already).
std::string NeedsPasswordMessage(std::string_view pdf);
std::string WrongPasswordMessage(std::string_view pdf);
inline constexpr char kUnlockedNote[] =
    "The input was protected by a password; the output is not encrypted.";
inline constexpr char kPasswordTitle[] = "Password";

}  // namespace desktop
