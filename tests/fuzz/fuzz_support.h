#pragma once
// What the fuzz targets share: a Ui that answers no to everything, a scratch
// directory of the process for the readers that take a file, and the input
// cut in two at a separator line.
//
// A target catches only lagrull::Error, the refusal a reader owes hostile
// input; anything else that leaves a reader (another exception, a crash, a
// sanitizer report) is a finding.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/ui.h"

namespace lagrull::fuzz {

// Every question is answered No or Cancel, nothing is shown.
class QuietUi : public Ui {
public:
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void closeWait() override {}
    void progressBegin() override {}
    void progressSet(int) override {}
    void progressEnd() override {}
    std::optional<std::string> openFileName(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFileName(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> directoryName(const FileRequest&, bool) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    void processEvents() override {}

protected:
    Answer doMessage(const std::string&, const std::string&, Buttons buttons, Icon) override {
        return buttons == Buttons::Ok
                   ? Answer::Ok
                   : (buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No);
    }
    void doShowWait(const std::string&, const std::string&) override {}
};

// A directory of this process (in /dev/shm, else the temporary directory),
// created on first use and removed when the process ends normally.
const std::filesystem::path& scratchDirectory();

// Writes `bytes` as the file `name` in the scratch directory; its path.
std::filesystem::path writeScratchFile(const std::string& name, std::string_view bytes);

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input's two parts around the first separator line "\n====\n"; the
// second is empty when there is none.
inline constexpr std::string_view kPartSeparator = "\n====\n";
std::pair<std::string_view, std::string_view> splitInput(std::string_view input);

}  // namespace lagrull::fuzz
