#include "desktop/core/SetupFile.h"

#include <string>

#include "desktop/core/KeyValueLines.h"

namespace desktop {
namespace {

// A text as one line can carry it: up to its first line break.
std::string_view OneLine(std::string_view text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

void ApplyValue(const SetupKey& row, std::optional<std::string_view> value, JobSetup& setup,
                SetupReadOptions options) {
    std::string_view text = value.value_or(std::string_view{});
    switch (row.kind) {
        case KeyKind::Text: {
            std::string& field = setup.*row.text;
            bool isName = row.text == &JobSetup::inFile || row.text == &JobSetup::outFile;
            if (isName && !options.override && !field.empty()) return;
            field = std::string(text);
            return;
        }
        case KeyKind::DuplexSelection:
            DecodeDuplexValue(ReadInteger(text), setup);
            return;
        case KeyKind::Integer:
        case KeyKind::Check:
        case KeyKind::SelectionFlag:
            setup.*row.number = ReadInteger(text);
            return;
    }
}

// A file leaves out the sheet settings that are at their defaults, so a file read gives each
// its default first: the file's job is the job read, whatever was set before.
void ResetSheetSettings(JobSetup& setup) {
    const JobSetup defaults;
    for (const SetupKey& row : SetupKeys()) {
        if (!row.writtenWhenChanged) continue;
        if (row.text != nullptr) {
            setup.*row.text = defaults.*row.text;
        } else {
            setup.*row.number = defaults.*row.number;
        }
    }
}

// Reads the lines of a setup file into `setup`.
SetupReadResult ReadLines(std::string_view text, JobSetup& setup, SetupReadOptions options,
                          std::string_view fileName) {
    setup.reorder1 = 0;
    ResetSheetSettings(setup);
    SetupReadResult result;
    result.opened = true;
    ForEachKeyValue(text, [&](const KeyValueLine& line) {
        const SetupKey* row = FindSetupKey(line.key);
        if (row == nullptr) return;
        if (line.value && line.value->size() > kMaxValueLength) {
            result.refused.push_back(TooLongMessage(FileLinePlace(fileName, line.number),
                                                    "the value of " + std::string(line.key)));
            return;
        }
        if (row->Refusal != nullptr) {
            std::string_view value = line.value.value_or(std::string_view{});
            // A checked value is taken only as a saved file can hold it again: on one line.
            std::string why =
                OneLine(value).size() < value.size() ? "holds a line break" : row->Refusal(value);
            if (!why.empty()) {
                result.refused.push_back(FileLinePlace(fileName, line.number) + ": " +
                                         std::string(line.key) + " \"" + std::string(value) +
                                         "\" " + why + ", and was not taken");
                return;
            }
        }
        ApplyValue(*row, line.value, setup, options);
        if (row->text == &JobSetup::outFolder) result.outFolderRead = true;
    });
    return result;
}

}  // namespace

int EncodeDuplexValue(const JobSetup& setup) {
    if (!IsChosen(setup.duplex2Up)) return setup.duplex2Up;
    std::optional<DuplexOrder> order = setup.ChosenOrder();
    return order ? OrderCode(*order) : 0;
}

void DecodeDuplexValue(int value, JobSetup& setup) {
    if (value == 0) value = OrderCode(DuplexOrder::Order1243);
    if (std::optional<DuplexOrder> order = OrderFromCode(value)) {
        setup.duplex2Up = kChosen;
        setup.ChooseOrder(*order);
    } else if (value == kNotChosen) {
        setup.duplex2Up = kNotChosen;
        setup.ClearOrders();
    } else {
        setup.duplex2Up = value;
    }
}

std::vector<std::string> ParseSetupText(std::string_view text, JobSetup& setup,
                                        SetupReadOptions options, std::string_view fileName) {
    return ReadLines(text, setup, options, fileName).refused;
}

SetupReadResult ReadSetupFile(const std::string& path, JobSetup& setup, SetupReadOptions options,
                              std::string_view fileName) {
    setup.reorder1 = 0;
    std::optional<std::string> text = ReadTextFile(path);
    if (!text) return {};
    return ReadLines(*text, setup, options, fileName.empty() ? path : fileName);
}

namespace {

std::string ValueText(const SetupKey& row, const JobSetup& setup) {
    switch (row.kind) {
        case KeyKind::Text:
            return std::string(OneLine(setup.*row.text));
        case KeyKind::DuplexSelection:
            return std::to_string(EncodeDuplexValue(setup));
        default:
            return std::to_string(setup.*row.number);
    }
}

}  // namespace

std::string SetupFileText(const JobSetup& setup, bool withOutFolder) {
    std::string text;
    for (const SetupKey& row : SetupKeys()) {
        if (row.text == &JobSetup::outFolder && !withOutFolder) continue;
        std::string value = ValueText(row, setup);
        if (row.writtenWhenChanged && (value == row.defaultText ||
                                       (row.MeansDefault != nullptr && row.MeansDefault(value)))) {
            continue;
        }
        text += row.key;
        text += ';';
        text += value;
        text += '\n';
    }
    return text;
}

SetupWriteResult WriteSetupFile(const std::string& path, std::string_view name,
                                const JobSetup& setup, bool withOutFolder) {
    SetupWriteResult result;
    result.written = WriteTextFileCrLf(path, SetupFileText(setup, withOutFolder));
    if (!result.written) {
        result.message = "Can't save to :" + std::string(name);
    } else if (name != kDefaultSetupName) {
        result.message = "Saved to file: " + std::string(name);
    }
    return result;
}

SetupFiles::SetupFiles(ConfigFolder folder) : m_folder(std::move(folder)) {}

SetupReadResult SetupFiles::Load(const std::string& name, JobSetup& setup,
                                 SetupReadOptions options) {
    m_currentName = name;
    return ReadSetupFile(m_folder.Resolve(name), setup, options, name);
}

SetupWriteResult SetupFiles::Save(const JobSetup& setup, bool withOutFolder) const {
    return WriteSetupFile(m_folder.ResolveForWriting(m_currentName), m_currentName, setup,
                          withOutFolder);
}

SetupWriteResult SetupFiles::SaveAs(const std::string& name, const JobSetup& setup,
                                    bool withOutFolder) {
    m_currentName = name;
    return Save(setup, withOutFolder);
}

}  // namespace desktop
