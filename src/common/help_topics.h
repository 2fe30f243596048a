#pragma once
// Help topics: which page of the shipped help files a topic number opens.
//
// The help files lie beside the program in the folder "helpfiles/": one
// folder per register kind ("medlemsregister", "husleieregister"), each with
// its start page "index.html" and its topic map "emner.ini", whose section
// "Emner" maps a topic number to a page of the same folder, with an anchor
// if wanted ("28=index.html#leietakere").
//
// Invariants:
// - A resolved page always lies inside its register's folder: map entries
//   that name another directory (or anything but an .html page) are not
//   followed.
// - An unknown topic, an unusable entry and a mapped page that is missing
//   all give the start page; only a missing start page is an error.

#include <filesystem>
#include <string>

#include "common/settings_keys.h"

namespace lagrull {

// The topic of the tool button "Hjelp" and of the menu entry "&Innhold".
inline constexpr int kHelpContentsTopic = 1;

struct HelpPage {
    std::string relative;        // "medlemsregister/organisasjoner.html"
    std::string anchor;          // "" or "leietakere"
    std::filesystem::path file;  // the help directory + relative

    // The relative path with "#anchor" when there is one.
    std::string reference() const;
};

// "medlemsregister" for register kind 0 (and any unknown kind),
// "husleieregister" for kind 1.
std::string helpFolderName(RegisterKind kind);

// Where the help files lie at run time: the program directory + "helpfiles/".
std::filesystem::path helpDirectory();

// The register's start page. Throws FileError with a Norwegian message when
// the help files are missing.
HelpPage helpStartPage(const std::filesystem::path& helpDirectory, RegisterKind kind);

// The page for a topic, or the start page (see above). Throws as
// helpStartPage.
HelpPage helpPageForTopic(const std::filesystem::path& helpDirectory, RegisterKind kind, int topic);

}  // namespace lagrull
