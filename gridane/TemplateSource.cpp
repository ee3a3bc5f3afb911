#include "gridane/TemplateSource.h"

#include "pdf/CPdfException.h"
#include "platform/File.h"

namespace gridane {

SheetTemplate ReadTemplateFile(const std::string& path, platform::FileSpace files) {
    std::string named = "Template '" + path + "': ";
    // Only a regular file opens: a folder or a device is refused instead of read for ever.
    platform::ReadFile file;
    if (!file.Open(path, files)) throw CPdfException(named + "cannot be opened\n");
    if (file.Size() > static_cast<int64_t>(kMaxTemplateBytes)) {
        throw CPdfException(named + "longer than " + std::to_string(kMaxTemplateBytes) +
                            " bytes\n");
    }
    std::string text(static_cast<size_t>(file.Size()), '\0');
    if (file.ReadAt(0, text.data(), text.size()) != file.Size()) {
        throw CPdfException(named + "cannot be read\n");
    }
    auto read = ReadSheetTemplate(text);
    if (auto* problem = std::get_if<std::string>(&read))
        throw CPdfException(named + *problem + "\n");
    return std::move(std::get<SheetTemplate>(read));
}

}  // namespace gridane
