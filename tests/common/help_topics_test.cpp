#include "common/help_topics.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "common/error.h"
#include "temp_dir.h"

using namespace lagrull;
using lagrull::test::TempDir;
namespace fs = std::filesystem;

namespace {

// A help directory with the member register's start page, the pages named
// and the topic map `map` (nothing when empty).
struct HelpFiles {
    TempDir dir;
    explicit HelpFiles(const std::string& map, const std::vector<std::string>& pages = {}) {
        fs::create_directories(dir.path() / "medlemsregister");
        put("medlemsregister/index.html");
        for (const auto& p : pages) put("medlemsregister/" + p);
        if (!map.empty()) dir.write("medlemsregister/emner.ini", map);
    }
    void put(const std::string& name) const { dir.write(name, "<html></html>"); }
    std::string page(int topic) const {
        return helpPageForTopic(dir.path(), RegisterKind::Members, topic).reference();
    }
};

fs::path shippedHelp() { return lagrull::test::testData() / ".." / ".." / "help"; }

// Every value of the attribute `name` (as in name="x") in an HTML text.
std::set<std::string> attributeValues(const std::string& html, const std::string& name) {
    std::set<std::string> values;
    const std::string opening = " " + name + "=\"";
    for (std::size_t at = html.find(opening); at != std::string::npos;
         at = html.find(opening, at + 1)) {
        const std::size_t begin = at + opening.size();
        values.insert(html.substr(begin, html.find('"', begin) - begin));
    }
    return values;
}

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(HelpTopics, MappedTopicsOpenTheirPagesAndOthersTheStartPage) {
    HelpFiles help(
        "[Emner]\r\n1=index.html\r\n27=organisasjoner.html\r\n"
        "28=medlemmer.html#betaling\r\n",
        {"organisasjoner.html", "medlemmer.html"});
    EXPECT_EQ(help.page(27), "medlemsregister/organisasjoner.html");
    const HelpPage members = helpPageForTopic(help.dir.path(), RegisterKind::Members, 28);
    EXPECT_EQ(members.relative, "medlemsregister/medlemmer.html");
    EXPECT_EQ(members.anchor, "betaling");
    EXPECT_EQ(members.file, help.dir.path() / "medlemsregister" / "medlemmer.html");
    EXPECT_EQ(members.reference(), "medlemsregister/medlemmer.html#betaling");
    EXPECT_EQ(help.page(1), "medlemsregister/index.html");
    EXPECT_EQ(help.page(99), "medlemsregister/index.html");
    EXPECT_EQ(help.page(-5), "medlemsregister/index.html");
}

TEST(HelpTopics, EntriesOutsideTheFolderOrMissingPagesFallBackToTheStartPage) {
    // The pages outside exist, so only the name rule keeps them out.
    HelpFiles help(
        "[Emner]\r\n2=../utenfor.html\r\n3=/etc/passwd\r\n4=notat.txt\r\n"
        "5=mangler.html\r\n6=..\\utenfor.html\r\n7=side.html#ikke gyldig\r\n"
        "8=\r\n9=.skjult.html\r\n",
        {"side.html", ".skjult.html"});
    help.put("utenfor.html");
    help.put("medlemsregister/notat.txt");
    for (int topic = 2; topic <= 9; ++topic)
        EXPECT_EQ(help.page(topic), "medlemsregister/index.html") << "topic " << topic;
}

TEST(HelpTopics, WithoutMapOrSectionEveryTopicOpensTheStartPage) {
    HelpFiles noMap("");
    EXPECT_EQ(noMap.page(27), "medlemsregister/index.html");
    HelpFiles otherSection("[Annet]\r\n27=organisasjoner.html\r\n", {"organisasjoner.html"});
    EXPECT_EQ(otherSection.page(27), "medlemsregister/index.html");
}

TEST(HelpTopics, RegisterKindChoosesTheFolder) {
    EXPECT_EQ(helpFolderName(RegisterKind::Members), "medlemsregister");
    EXPECT_EQ(helpFolderName(RegisterKind::Rent), "husleieregister");
    EXPECT_EQ(registerKindOf(7), RegisterKind::Members);
    HelpFiles help("[Emner]\r\n27=organisasjoner.html\r\n", {"organisasjoner.html"});
    fs::create_directories(help.dir.path() / "husleieregister");
    help.put("husleieregister/index.html");
    EXPECT_EQ(helpPageForTopic(help.dir.path(), RegisterKind::Rent, 27).reference(),
              "husleieregister/index.html");
}

TEST(HelpTopics, MissingHelpFilesGiveANorwegianError) {
    TempDir dir;
    try {
        helpPageForTopic(dir.path() / "helpfiles", RegisterKind::Members, 27);
        FAIL() << "no error";
    } catch (const FileError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Finner ikke hjelpefilene.", 0), 0u) << text;
        EXPECT_NE(text.find("medlemsregister/index.html"), std::string::npos) << text;
    }
    // The member register's files do not stand in for the rent register's.
    HelpFiles members("");
    EXPECT_THROW(helpStartPage(members.dir.path(), RegisterKind::Rent), FileError);
}

// The pages shipped with the program: every topic the program uses opens an
// existing page, and every link between the pages leads somewhere.
TEST(ShippedHelp, TopicsOfBothRegistersOpenTheirPages) {
    const fs::path help = shippedHelp();
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Members, 27).reference(),
              "medlemsregister/organisasjoner.html");
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Members, 28).reference(),
              "medlemsregister/medlemmer.html");
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Rent, 28).reference(),
              "husleieregister/index.html#leietakere");
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Rent, 27).reference(),
              "husleieregister/index.html#organisasjoner");
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Rent, 40).reference(),
              "husleieregister/utvalg.html#kriterier");
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Members, 41).reference(),
              "medlemsregister/utvalg.html#hvem");
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Members, 20).reference(),
              "medlemsregister/betalingskrav.html#spesifiser");
    EXPECT_EQ(helpPageForTopic(help, RegisterKind::Rent, 21).reference(),
              "husleieregister/husleieinnkreving.html#send");
    for (RegisterKind kind : {RegisterKind::Members, RegisterKind::Rent}) {
        EXPECT_EQ(helpPageForTopic(help, kind, 1).reference(),
                  helpFolderName(kind) + "/index.html");
        EXPECT_EQ(helpPageForTopic(help, kind, 29).reference(),
                  helpFolderName(kind) + "/import.html");
        EXPECT_EQ(helpPageForTopic(help, kind, 70).reference(),
                  helpFolderName(kind) + "/oppdatering.html");
        // An anchor of the map names a place on its page.
        for (int topic : {20, 21, 22, 23, 26, 27, 28, 31, 32, 33, 40, 41, 42, 43, 44, 60, 61, 62}) {
            const HelpPage page = helpPageForTopic(help, kind, topic);
            if (!page.anchor.empty()) {
                EXPECT_TRUE(attributeValues(readAll(page.file), "name").count(page.anchor))
                    << page.reference();
            }
        }
    }
}

TEST(ShippedHelp, EveryLinkAndAnchorExists) {
    int links = 0;
    for (const auto& entry : fs::recursive_directory_iterator(shippedHelp())) {
        if (entry.path().extension() != ".html") continue;
        for (const std::string& target : attributeValues(readAll(entry.path()), "href")) {
            ASSERT_EQ(target.find(':'), std::string::npos) << "external link " << target;
            const std::size_t hash = target.find('#');
            const std::string file = target.substr(0, hash);
            const fs::path linked = file.empty() ? entry.path() : entry.path().parent_path() / file;
            ASSERT_TRUE(fs::is_regular_file(linked)) << entry.path() << " -> " << target;
            if (hash != std::string::npos) {
                EXPECT_TRUE(attributeValues(readAll(linked), "name").count(target.substr(hash + 1)))
                    << entry.path() << " -> " << target;
            }
            ++links;
        }
    }
    EXPECT_GT(links, 30);
}

}  // namespace
