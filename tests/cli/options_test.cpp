#include "cli/options.h"
#include "cli/selection_options.h"

#include <gtest/gtest.h>

using namespace lagrull::cli;

namespace {

const OptionSpecs kSpecs{
    {"skriv", OptionKind::Value}, {"kjor", OptionKind::Flag}, {"velg", OptionKind::Repeated}};

std::string usageMessage(const std::vector<std::string>& args) {
    try {
        parseOptions(args, kSpecs);
    } catch (const UsageError& e) {
        return e.message;
    }
    return "(ingen feil)";
}

}  // namespace

TEST(CliOptions, ValuesFlagsRepeatsAndPositionals) {
    const ParsedOptions o = parseOptions(
        {"inn.txt", "--skriv", "ut.txt", "--velg=7", "-", "--kjor", "--velg", "-3", "--", "--x"},
        kSpecs);
    EXPECT_EQ(o.positional, (std::vector<std::string>{"inn.txt", "-", "--x"}));
    EXPECT_EQ(o.value("skriv"), "ut.txt");
    EXPECT_TRUE(o.has("kjor"));
    EXPECT_FALSE(o.value("kjor"));
    EXPECT_EQ(o.values("velg"), (std::vector<std::string>{"7", "-3"}));
    EXPECT_FALSE(parseOptions({}, kSpecs).has("kjor"));
    EXPECT_TRUE(parseOptions({}, kSpecs).values("velg").empty());
    // "=" keeps the rest of the argument, blanks and further "=" included.
    EXPECT_EQ(parseOptions({"--skriv=a=b c"}, kSpecs).value("skriv"), "a=b c");
    EXPECT_EQ(parseOptions({"--skriv="}, kSpecs).value("skriv"), "");
}

TEST(CliOptions, UsageErrors) {
    EXPECT_EQ(usageMessage({"--ukjent"}), "Ukjent valg --ukjent.");
    EXPECT_EQ(usageMessage({"--ukjent=1"}), "Ukjent valg --ukjent.");
    EXPECT_EQ(usageMessage({"--skriv"}), "--skriv mangler verdi.");
    EXPECT_EQ(usageMessage({"--kjor=ja"}), "--kjor tar ingen verdi.");
    EXPECT_EQ(usageMessage({"--skriv", "a", "--skriv=b"}), "--skriv er gitt mer enn én gang.");
}

TEST(CliOptions, GlobalOptionsAnywhere) {
    const GlobalOptions g = parseGlobalOptions(
        {"/path=/tmp/x", "flett", "--input=ja", "mal.rtf", "LOGG", "--yes", "--input", "svar"});
    EXPECT_EQ(g.answer, ConsoleUi::Default::Yes);
    EXPECT_EQ(g.inputs, (std::deque<std::string>{"ja"}));
    // "--input SVAR" is the command's own option.
    EXPECT_EQ(g.rest, (std::vector<std::string>{"flett", "mal.rtf", "--input", "svar"}));
    EXPECT_EQ(parseGlobalOptions({"--no", "kid"}).answer, ConsoleUi::Default::No);
}

TEST(CliSelectionOptions, TheGroupAndTheConsoleWhoStep) {
    const OptionSpecs specs = withSelectionOptions({{"dato", OptionKind::Value}});
    const ParsedOptions picks =
        parseOptions({"--velg", "8A", "--velg=12", "--ekstra10", "x%", "--dato", "1"}, specs);
    EXPECT_EQ(picks.values("velg"), (std::vector<std::string>{"8A", "12"}));
    EXPECT_EQ(picks.value("ekstra10"), "x%");
    EXPECT_TRUE(selectionGiven(picks));
    // The organisation alone is no selection: the who-step answers "Alle".
    const ParsedOptions organisation = parseOptions({"--orgnr", "2", "--dato", "1"}, specs);
    EXPECT_FALSE(selectionGiven(organisation));
    for (const ParsedOptions* options : {&picks, &organisation}) {
        ConsoleSelectionSteps steps(*options);
        std::unique_ptr<lagrull::reports::TKravTilHvemStep> who = steps.CreateKravTilHvem();
        who->Setup("Hvem skal ha betalingskravet?", {"Alle medlemmer", "Utvalg"});
        EXPECT_EQ(who->ShowModal(), lagrull::reports::kStepNext);
        EXPECT_EQ(who->Choice(), options == &picks ? 1 : 0);
    }
    EXPECT_THROW(parseOptions({"--ekstra11", "x"}, specs), UsageError);
}
