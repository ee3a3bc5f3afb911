#include "desktop/core/PdfProtection.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/File.h"
#include "platform/Text.h"

namespace desktop {

UnlockOutcome UnlockPdf(const std::string& pdf, const std::string& password,
                        const std::string& copy) {
    using Kind = UnlockOutcome::Kind;
    // qpdf would search the whole of a large picture or office file for a PDF's structure.
    if (!platform::StartsAsPdf(pdf)) return {};
    QPDF document;
    document.setSuppressWarnings(true);
    try {
        document.processFile(pdf.c_str(), password.c_str());
    } catch (const QPDFExc& failure) {
        if (failure.getErrorCode() != qpdf_e_password) return {};
        return {password.empty() ? Kind::NeedsPassword : Kind::WrongPassword, {}};
    } catch (const std::exception&) {
        return {};
    }
    if (!document.isEncrypted()) return {};
    if (copy.empty()) return {Kind::Unlocked, {}};
    try {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(copy).parent_path(), ignored);
        QPDFWriter writer(document, copy.c_str());
        writer.setPreserveEncryption(false);
        writer.write();
    } catch (const std::exception& failure) {
        return {Kind::Failed, failure.what()};
    }
    return {Kind::Unlocked, {}};
}

std::string NeedsPasswordMessage(std::string_view pdf) {
    return std::string(platform::FileNamePart(pdf)) + " needs a password to open.";
}

std::string WrongPasswordMessage(std::string_view pdf) {
    return "The password for " + std::string(platform::FileNamePart(pdf)) + " is wrong.";
}

}  // namespace desktop
