#include "common/help_topics.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "common/app_paths.h"
#include "common/error.h"
#include "common/ini.h"
#include "common/log.h"

namespace fs = std::filesystem;

namespace lagrull {

namespace {

constexpr const char* kStartPage = "index.html";
constexpr const char* kTopicMap = "emner.ini";
constexpr const char* kTopicSection = "Emner";

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool endsWithNoCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

// A page of the register's own folder: a plain file name, never a path.
bool isPlainPageName(const std::string& name) {
    if (name.empty() || name.front() == '.') return false;
    if (name.find_first_of("/\\:") != std::string::npos) return false;
    return endsWithNoCase(name, ".html") || endsWithNoCase(name, ".htm");
}

bool isAnchorName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    });
}

HelpPage makePage(const fs::path& helpDirectory, RegisterKind kind, const std::string& page,
                  const std::string& anchor) {
    HelpPage result;
    result.relative = helpFolderName(kind) + "/" + page;
    result.anchor = anchor;
    result.file = helpDirectory / helpFolderName(kind) / page;
    return result;
}

// The map's entry for the topic, as written; nullopt without map or entry.
std::optional<std::string> mappedPage(const fs::path& folder, int topic) {
    const fs::path map = folder / kTopicMap;
    if (!isFile(map)) {
        appLog().writeLine("Hjelp: emnelisten " + map.string() + " mangler");
        return std::nullopt;
    }
    try {
        TOrvIni ini(map, IniMode::Read);
        if (!ini.findSection(kTopicSection)) return std::nullopt;
        return ini.readText(std::to_string(topic));
    } catch (const Error& e) {
        appLog().writeLine(std::string("Hjelp: ") + e.what());
        return std::nullopt;
    }
}

}  // namespace

std::string HelpPage::reference() const {
    return anchor.empty() ? relative : relative + "#" + anchor;
}

std::string helpFolderName(RegisterKind kind) {
    return kind == RegisterKind::Rent ? "husleieregister" : "medlemsregister";
}

fs::path helpDirectory() { return fs::path(appPaths().programDirectory) / "helpfiles"; }

HelpPage helpStartPage(const fs::path& helpDirectory, RegisterKind kind) {
    HelpPage start = makePage(helpDirectory, kind, kStartPage, "");
    if (!isFile(start.file))
        throw FileError("Finner ikke hjelpefilene.~Siden " + start.file.string() +
                        " mangler. Hjelpen skal ligge i mappen \"helpfiles\" ved siden av "
                        "programmet.");
    return start;
}

HelpPage helpPageForTopic(const fs::path& helpDirectory, RegisterKind kind, int topic) {
    HelpPage start = helpStartPage(helpDirectory, kind);
    const auto entry = mappedPage(helpDirectory / helpFolderName(kind), topic);
    if (!entry) return start;

    const std::size_t hash = entry->find('#');
    const std::string page = entry->substr(0, hash);
    const std::string anchor = hash == std::string::npos ? "" : entry->substr(hash + 1);
    if (!isPlainPageName(page) || (hash != std::string::npos && !isAnchorName(anchor))) {
        appLog().writeLine("Hjelp: emne " + std::to_string(topic) + " har ugyldig side " + *entry);
        return start;
    }
    HelpPage mapped = makePage(helpDirectory, kind, page, anchor);
    if (!isFile(mapped.file)) {
        appLog().writeLine("Hjelp: emne " + std::to_string(topic) + " viser til " +
                           mapped.file.string() + ", som mangler");
        return start;
    }
    return mapped;
}

}  // namespace lagrull
